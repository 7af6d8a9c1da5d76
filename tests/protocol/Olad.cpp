#include "Olad.h"

#include "PrivateNetwork.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/ClientWrapper.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>
#include <regex>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr uid_t NOBODY = 65534;
constexpr std::uint16_t RPC_PORT = 9010;

// Every plugin Debian's olad knows; each gets a file so none starts by default.
constexpr const char* PLUGINS[] = {
    "artnet",  "dummy",   "e131",    "espnet",           "ftdidmx", "gpio",     "karate",
    "kinet",   "milinst", "opendmx", "openpixelcontrol", "osc",     "pathport", "renard",
    "sandnet", "shownet", "spi",     "stageprofi",       "uartdmx", "usbdmx",   "usbserial"};

bool RpcAnswers() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(RPC_PORT);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    ::close(fd);
    return ok;
}

template <typename Pred>
bool Poll(Pred pred, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (pred()) return true;
        std::this_thread::sleep_for(50ms); // polling step, not a wait for an outcome
    }
    return pred();
}

} // namespace

TOlad::TOlad(std::string plugin) : m_plugin(std::move(plugin)) {
    char pattern[] = "/tmp/vantrelle-olad-XXXXXX";
    if (mkdtemp(pattern)) m_dir = pattern;
}

TOlad::~TOlad() {
    Kill();
    if (!m_dir.empty()) RunCommand("rm -rf " + m_dir);
}

void TOlad::WriteConfig() {
    for (const char* plugin : PLUGINS) {
        std::ofstream out(m_dir + "/ola-" + plugin + ".conf");
        const bool wanted = m_plugin == plugin;
        out << "enabled = " << (wanted ? "true" : "false") << "\n";
        if (wanted && m_plugin == "e131")
            out << "ip = " << LOCAL_ADDRESS << "\ninput_ports = 1\noutput_ports = 0\n";
        if (wanted && m_plugin == "artnet")
            out << "ip = " << LOCAL_ADDRESS << "\noutput_ports = 0\nnet = 0\nsubnet = 0\n";
    }
    RunCommand("chown -R " + std::to_string(NOBODY) + ":" + std::to_string(NOBODY) + " " + m_dir);
    RunCommand("chmod 700 " + m_dir);
}

bool TOlad::Start() {
    if (m_dir.empty()) {
        m_error = "no temporary directory";
        return false;
    }
    WriteConfig();
    const std::string log = m_dir + "/olad.log";
    m_pid = fork();
    if (m_pid == 0) {
        const std::string home = "HOME=" + m_dir;
        std::freopen(log.c_str(), "a", stderr);
        std::freopen("/dev/null", "w", stdout);
        execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "env",
               home.c_str(), "olad", "-c", m_dir.c_str(), "--no-http", "--no-register-with-dns-sd",
               "-l", "3", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (m_pid < 0) {
        m_error = "fork failed";
        return false;
    }
    if (!Poll([] { return RpcAnswers(); })) {
        m_error = "olad did not open its RPC port: " + Log();
        Kill();
        return false;
    }
    return true;
}

bool TOlad::StartPatched(Port port, unsigned universe) {
    if (!Start()) return false;
    const auto device = WaitForDevice();
    if (!device) {
        m_error = "the plugin made no device: " + Log();
        return false;
    }
    if (!(port == Port::Input ? PatchInput(*device, universe) : PatchOutput(*device, universe))) {
        m_error = "ola_patch refused the port";
        return false;
    }
    return true;
}

void TOlad::Pause() {
    if (m_pid > 0) ::kill(m_pid, SIGSTOP);
}

void TOlad::Resume() {
    if (m_pid > 0) ::kill(m_pid, SIGCONT);
}

void TOlad::Kill() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    // The port is free again once nothing answers on it.
    Poll([] { return !RpcAnswers(); }, 5s);
}

std::string TOlad::Log() const {
    std::ifstream in(m_dir + "/olad.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<int> TOlad::WaitForDevice() {
    std::optional<int> device;
    const std::regex line(R"(Device (\d+):)");
    Poll([&] {
        std::smatch match;
        const std::string info = CaptureOutput("ola_dev_info");
        if (!std::regex_search(info, match, line)) return false;
        device = std::stoi(match[1]);
        return true;
    });
    return device;
}

bool TOlad::PatchInput(int device, unsigned universe) {
    return RunCommand("ola_patch -d " + std::to_string(device) + " -p 0 -i -u " +
                      std::to_string(universe));
}

bool TOlad::PatchOutput(int device, unsigned universe) {
    return RunCommand("ola_patch -d " + std::to_string(device) + " -p 0 -u " +
                      std::to_string(universe));
}

std::optional<TUniverseLevels> TOlad::Fetch(unsigned universe) {
    ola::client::OlaClientWrapper wrapper(false);
    if (!wrapper.Setup()) return std::nullopt;
    std::optional<TUniverseLevels> result;
    ola::io::SelectServer* ss = wrapper.GetSelectServer();
    auto done = [&](const ola::client::Result& r, const ola::client::DMXMetadata&,
                    const ola::DmxBuffer& buffer) {
        if (r.Success()) {
            TUniverseLevels levels{};
            unsigned size = DMX_UNIVERSE_SIZE;
            buffer.Get(levels.data(), &size);
            result = levels;
        }
        ss->Terminate();
    };
    struct TCall {
        decltype(done)* f;
        void Invoke(const ola::client::Result& r, const ola::client::DMXMetadata& m,
                    const ola::DmxBuffer& b) {
            (*f)(r, m, b);
        }
    } call{&done};
    wrapper.GetClient()->FetchDMX(universe, ola::NewSingleCallback(&call, &TCall::Invoke));
    ss->RegisterSingleTimeout(3000, ola::NewSingleCallback(ss, &ola::io::SelectServer::Terminate));
    ss->Run();
    return result;
}

bool WaitForLevels(unsigned universe, const TUniverseLevels& expected) {
    return Poll([&] { return TOlad::Fetch(universe) == expected; });
}

bool WaitForChannel(unsigned universe, int channel, const std::function<bool(std::uint8_t)>& pred) {
    if (channel < 1 || channel > DMX_UNIVERSE_SIZE) return false;
    return Poll(
        [&] {
            const auto levels = TOlad::Fetch(universe);
            return levels && pred((*levels)[static_cast<std::size_t>(channel - 1)]);
        },
        15s);
}
