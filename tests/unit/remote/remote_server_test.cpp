// The server in one process with a page client: a burst of moves reaches the
// model as its newest level, every page hears the change once it is made,
// and a page's bump and page requests go through the model's rules.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebSocket>
#include <gtest/gtest.h>

#include "model/DeskModel.h"
#include "remote/RemoteServer.h"

namespace {

bool Until(const std::function<bool()>& done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

struct Desk {
    TDeskModel model;
    remote::TRemoteServer server{model};
    std::vector<int> levelsOfSlot1; // each announced level of channel 1

    Desk() {
        TChannelTable table{};
        ClearChannels(table);
        model.StartWith(table, false, {});
        QObject::connect(&model, &TDeskModel::changed, &server, &remote::TRemoteServer::Follow);
        QObject::connect(&model, &TDeskModel::changed, [this](const TDeskChange& c) {
            if (c.Has(TDeskChange::Levels) && c.TouchesChannel(1) && c.FirstChannel == 1 &&
                c.LastChannel == 1)
                levelsOfSlot1.push_back(model.Table().LevelOf(1));
        });
        remote::TListenAddress any;
        any.Port = 0;
        EXPECT_TRUE(server.Start(any).isEmpty());
    }
};

struct Page {
    QWebSocket socket;
    std::vector<QJsonObject> received;
    explicit Page(quint16 port) : socket(QStringLiteral("http://127.0.0.1:%1").arg(port)) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& m) {
            received.push_back(QJsonDocument::fromJson(m.toUtf8()).object());
        });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
    }
    bool Has(const char* type) const {
        for (const QJsonObject& o : received)
            if (o.value("t").toString() == QLatin1String(type)) return true;
        return false;
    }
    int LastLevel(int slot) const {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (it->contains("levels")) return it->value("levels").toArray().at(slot - 1).toInt();
        return -1;
    }
};

} // namespace

TEST(RemoteServer, ABurstOfMovesReachesTheModelAsItsNewestLevel) {
    Desk desk;
    Page page(desk.server.Listening().Port);
    ASSERT_TRUE(Until([&] { return page.Has("state"); }));
    for (int level = 1; level <= 200; ++level)
        page.socket.sendTextMessage(
            QStringLiteral(R"({"t":"move","slot":1,"level":%1})").arg(level));
    page.socket.flush();
    ASSERT_TRUE(Until([&] { return desk.model.FaderPosition(1) == 200; }));
    ASSERT_TRUE(Until([&] { return page.LastLevel(1) == 200; })) << "the last level always arrives";
    EXPECT_LT(desk.levelsOfSlot1.size(), 200u) << "moves read together are applied once";
    EXPECT_EQ(desk.levelsOfSlot1.back(), 200);
    // Levels only rise: no older level was applied after a newer one.
    EXPECT_TRUE(std::is_sorted(desk.levelsOfSlot1.begin(), desk.levelsOfSlot1.end()));
}

TEST(RemoteServer, EveryPageHearsAChangeMadeAnywhere) {
    Desk desk;
    Page a(desk.server.Listening().Port);
    Page b(desk.server.Listening().Port);
    ASSERT_TRUE(Until([&] { return a.Has("state") && b.Has("state"); }));
    desk.model.SetAllLevels(77, {});
    EXPECT_TRUE(Until([&] { return a.LastLevel(32) == 77 && b.LastLevel(32) == 77; }));
    a.socket.sendTextMessage(QStringLiteral(R"({"t":"move","slot":3,"level":9})"));
    EXPECT_TRUE(Until([&] { return b.LastLevel(3) == 9; }));
}

TEST(RemoteServer, BumpsAndPagesGoThroughTheModelsRules) {
    Desk desk;
    desk.model.MoveFader(2, 40, {});
    Page page(desk.server.Listening().Port);
    ASSERT_TRUE(Until([&] { return page.Has("state"); }));
    page.socket.sendTextMessage(QStringLiteral(R"({"t":"press","slot":2})"));
    ASSERT_TRUE(Until([&] { return desk.model.Table().LevelOf(2) == 255; }));
    EXPECT_TRUE(desk.model.BumpLit(2));
    page.socket.sendTextMessage(QStringLiteral(R"({"t":"release","slot":2})"));
    ASSERT_TRUE(Until([&] { return desk.model.Table().LevelOf(2) == 40; }));
    // Momentary bumps do not latch.
    page.socket.sendTextMessage(QStringLiteral(R"({"t":"latch","slot":2,"on":true})"));
    page.socket.sendTextMessage(QStringLiteral(R"({"t":"page","page":5})"));
    ASSERT_TRUE(Until([&] { return desk.model.Page() == 4; }));
    EXPECT_FALSE(desk.model.BumpLatched(2));
    EXPECT_TRUE(Until([&] {
        for (const QJsonObject& o : page.received)
            if (o.value("t") == QStringLiteral("state") && o.value("page").toInt() == 5 &&
                o.value("channels").toArray().at(0).toInt() == 129)
                return true;
        return false;
    }));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
