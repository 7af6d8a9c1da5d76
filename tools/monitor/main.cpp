// vantrelle-monitor: the reference host. Listens where the desk looks for its
// host, answers every sent message once it has handled it, and prints one
// line per message.

#include <csignal>
#include <cstdio>
#include <string>

#include <QStringList>

#include "MonitorFormat.h"
#include "MonitorOptions.h"
#include "hostlink/HostServer.h"

namespace {

hostlink::HostServer* g_server = nullptr;

void OnSignal(int) {
    if (g_server != nullptr) g_server->Stop();
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const monitor::ParseOutcome parsed =
        monitor::ParseArguments(arguments, hostlink::HOST_CLASS_NAME);
    std::fputs(parsed.Output.toLocal8Bit().constData(), stdout);
    std::fputs(parsed.Error.toLocal8Bit().constData(), stderr);
    if (!parsed.Run) return parsed.ExitCode;
    const bool json = parsed.Parsed.Json;
    const long long count = parsed.Parsed.Count;
    const std::string& name = parsed.Parsed.Name;
    hostlink::HostServer::Options options;
    options.NoReply = parsed.Parsed.NoReply;
    options.ReplyDelay = parsed.Parsed.ReplyDelay;

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
