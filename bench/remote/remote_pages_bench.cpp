// Figures for remote access, printed as text: run it on a quiet machine.
//   desk change -> all 20 pages updated: median, p99
//   page move -> levels announced by the model (the frame's moment): median
//   process CPU over 5 s idle, with 0 and with 20 pages open

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include "model/DeskModel.h"
#include "remote/RemoteServer.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPages = 20;

// The twenty pages, on a thread of their own: each notes when it saw fader
// 1 at the level asked for.
class Pages : public QObject {
public:
    std::atomic<int> Wanted{-1};
    std::atomic<int> Seen{0};
    std::atomic<long long> LastNs{0};
    std::atomic<int> Connected{0};
    std::vector<std::unique_ptr<QWebSocket>> Sockets;

    void Open(int port, int count) {
        for (int i = 0; i < count; ++i) {
            auto s = std::make_unique<QWebSocket>(QStringLiteral("http://127.0.0.1:%1").arg(port));
            QWebSocket* raw = s.get();
            connect(raw, &QWebSocket::textMessageReceived, this, [this](const QString& m) {
                if (m.contains(QLatin1String("\"t\":\"state\""))) ++Connected;
                const QJsonArray levels = QJsonDocument::fromJson(m.toUtf8())
                                              .object()
                                              .value(QLatin1String("levels"))
                                              .toArray();
                if (!levels.isEmpty() && levels.at(0).toInt() == Wanted.load()) {
                    LastNs = Clock::now().time_since_epoch().count();
                    ++Seen;
                }
            });
            raw->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
            Sockets.push_back(std::move(s));
        }
    }
    void Send(const QString& text) {
        Sockets.front()->sendTextMessage(text);
        Sockets.front()->flush();
    }
    void CloseAll() { Sockets.clear(); }
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Spin(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

double IdleCpu(int seconds) {
    const double before = CpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return CpuSeconds() - before;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TDeskModel model;
    TChannelTable table{};
    ClearChannels(table);
    model.StartWith(table, false, {});
    remote::TRemoteServer server(model);
    QObject::connect(&model, &TDeskModel::changed, &server, &remote::TRemoteServer::Follow);
    long long announcedNs = 0;
    QObject::connect(&model, &TDeskModel::changed, [&](const TDeskChange& c) {
        if (c.Has(TDeskChange::Levels)) announcedNs = Clock::now().time_since_epoch().count();
    });
    remote::TListenAddress address;
    address.Port = 0;
    if (const QString e = server.Start(address); !e.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(e));
        return 1;
    }
    const int port = server.Listening().Port;

    const double idleNone = IdleCpu(5);

    QThread thread;
    thread.start();
    Pages pages;
    pages.moveToThread(&thread);
    QMetaObject::invokeMethod(
        &pages, [&] { pages.Open(port, kPages); }, Qt::BlockingQueuedConnection);
    Spin([&] { return pages.Connected.load() == kPages; });
    if (pages.Connected.load() != kPages) {
        std::fprintf(stderr, "only %d pages connected\n", pages.Connected.load());
        return 1;
    }

    // A desk change (a fader moved by a rule) until all twenty pages show it.
    std::vector<double> fanOut;
    for (int i = 0; i < 400; ++i) {
        const int level = 1 + i % 254;
        pages.Wanted = level;
        pages.Seen = 0;
        const auto t0 = Clock::now();
        model.MoveFader(1, level, {});
        Spin([&] { return pages.Seen.load() >= kPages; });
        fanOut.push_back(static_cast<double>(pages.LastNs.load() - t0.time_since_epoch().count()) /
                         1e6);
        model.MoveFader(1, 0, {});
        pages.Wanted = 0;
        Spin([] { return false; }, 2);
    }

    // A page's move until the model announces the level (the frame leaves then).
    std::vector<double> moveToFrame;
    for (int i = 0; i < 400; ++i) {
        const int level = 1 + i % 254;
        announcedNs = 0;
        const auto t0 = Clock::now();
        QMetaObject::invokeMethod(&pages, [&, level] {
            pages.Send(QStringLiteral(R"({"t":"move","slot":2,"level":%1})").arg(level));
        });
        Spin([&] { return model.FaderPosition(2) == level; });
        moveToFrame.push_back(static_cast<double>(announcedNs - t0.time_since_epoch().count()) /
                              1e6);
    }

    Spin([] { return false; }, 300);
    const double idleTwenty = IdleCpu(5);

    std::printf("desk change -> %d pages updated: median %.2f ms, p99 %.2f ms (%zu changes)\n",
                kPages, Percentile(fanOut, 0.5), Percentile(fanOut, 0.99), fanOut.size());
    std::printf(
        "page move -> level announced (frame handed to the host): median %.2f ms, p99 %.2f ms\n",
        Percentile(moveToFrame, 0.5), Percentile(moveToFrame, 0.99));
    std::printf("process CPU idle for 5 s: %.3f s with no page, %.3f s with %d pages\n", idleNone,
                idleTwenty, kPages);
    QMetaObject::invokeMethod(
        &pages, [&] { pages.CloseAll(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    return 0;
}
