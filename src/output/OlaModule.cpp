#include "output/OlaModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

namespace {

using TCreate = TOutput* (*)(unsigned universe, std::uint16_t port);
using TVersion = int (*)();

// Stands in for an OLA output whose module is missing or from another build.
class TUnavailableOutput : public TOutput {
public:
    bool Start() override { return false; }
    void Stop() override {}
    bool Send(TLevelSpan) override { return false; }
    TOutputState State() const override { return TOutputState::NotInstalled; }
    std::string Name() const override { return "OLA"; }
};

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    const std::string exe(path, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

// The first module that loads and matches this build; kept loaded for the
// life of the program, since outputs it made may outlive any one user.
TCreate FindCreate(const std::vector<std::string>& paths, std::string& why) {
    static std::mutex guard;
    const std::lock_guard lock(guard);
    why = "not installed";
    for (const std::string& path : paths) {
        if (access(path.c_str(), F_OK) != 0) continue;
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* error = dlerror();
            why = error ? error : "cannot load " + path;
            continue;
        }
        const auto version = reinterpret_cast<TVersion>(dlsym(module, OLA_MODULE_VERSION_SYMBOL));
        const auto create = reinterpret_cast<TCreate>(dlsym(module, OLA_MODULE_CREATE_SYMBOL));
        if (!version || !create || version() != OLA_MODULE_VERSION) {
            why = path + " is from another build";
            dlclose(module);
            continue;
        }
        return create;
    }
    return nullptr;
}

} // namespace

std::vector<std::string> OlaModulePaths() {
    const std::string folder = ProgramFolder();
    if (folder.empty()) return {};
    return {folder + "/" + OLA_MODULE_FILE,
            folder + "/" + VANTRELLE_MODULE_DIR_FROM_BIN + "/" + OLA_MODULE_FILE};
}

std::unique_ptr<TOutput> LoadOlaOutput(const TOlaConfig& config,
                                       const std::vector<std::string>& paths) {
    std::string why;
    if (const TCreate create = FindCreate(paths, why)) {
        if (TOutput* output = create(config.universe, config.port))
            return std::unique_ptr<TOutput>(output);
        why = "the module made no output";
    }
    std::fprintf(stderr, "vantrelle: the OLA output is not available: %s\n", why.c_str());
    return std::make_unique<TUnavailableOutput>();
}
