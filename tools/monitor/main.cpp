// vantrelle-monitor: the reference host. Listens where the desk looks for its
// host, answers every sent message once it has handled it, and prints one
// line per message.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "MonitorFormat.h"
#include "hostlink/HostServer.h"

namespace {

hostlink::HostServer* g_server = nullptr;

void OnSignal(int) {
    if (g_server != nullptr) g_server->Stop();
}

void Usage(std::FILE* to) {
    std::fprintf(to, "usage: vantrelle-monitor [--json] [--count N] [--delay-ms N] [--no-reply]\n"
                     "                         [--name CLASS]\n"
                     "  --json        one JSON object per message\n"
                     "  --count N     exit after N messages\n"
                     "  --delay-ms N  answer each sent message N ms late (a slow host)\n"
                     "  --no-reply    never answer (a hung host)\n"
                     "  --name CLASS  endpoint name (default THXMainForm)\n");
}

bool ParseCount(const char* text, long long& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 0) return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    bool json = false;
    long long count = 0;
    long long delayMs = 0;
    hostlink::HostServer::Options options;
    std::string name = hostlink::HOST_CLASS_NAME;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--json") {
            json = true;
        } else if (arg == "--no-reply") {
            options.NoReply = true;
        } else if (arg == "--count" && hasValue && ParseCount(argv[i + 1], count)) {
            ++i;
        } else if (arg == "--delay-ms" && hasValue && ParseCount(argv[i + 1], delayMs)) {
            options.ReplyDelay = std::chrono::milliseconds(delayMs);
            ++i;
        } else if (arg == "--name" && hasValue) {
            name = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "vantrelle-monitor: bad argument '%s'\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }

    std::uint64_t received = 0;
    try {
        const hostlink::EndpointLocation where = hostlink::LocateEndpoint(name);
        const std::string path = where.Path();
        options.PrivateFolder = where.Fallback;
        hostlink::HostServer server(path, options, [&](const hostlink::ReceivedMessage& m) {
            ++received;
            const std::string line =
                json ? monitor::FormatJson(received, m) : monitor::FormatLine(received, m);
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
            if (count > 0 && received >= static_cast<std::uint64_t>(count)) g_server->Stop();
        });
        g_server = &server;
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGPIPE, SIG_IGN);
        std::fprintf(stderr, "vantrelle-monitor: listening at %s\n", path.c_str());
        server.Run();
        g_server = nullptr;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrelle-monitor: %s\n", e.what());
        return 1;
    }
    return 0;
}
