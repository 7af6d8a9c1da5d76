// The desk on a phone and a tablet: the page served by the real desk, in
// headless Chromium with touch, against the reference host; pairing of
// strangers, clients that misbehave, twenty pages and one that stops
// reading. Everything runs inside a network namespace of the test's own.

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <QWebSocket>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "DeskFrames.h"
#include "DeskSession.h"
#include "PrivateNetwork.h"
#include "RemotePage.h"

using namespace std::chrono_literals;
using deskframes::LevelOf;

namespace {

constexpr int kColumn = 63;
constexpr char kReady[] = "!document.getElementById('desk').hidden && "
                          "document.querySelectorAll('[role=slider]').length === 32";

QString SliderValue(int slot) {
    return QStringLiteral("Number(document.querySelectorAll('[role=slider]')[%1]"
                          ".getAttribute('aria-valuenow'))")
        .arg(slot - 1);
}

QString ReadoutOf(int slot) {
    return QStringLiteral("document.getElementById('readout-%1').textContent").arg(slot);
}

// Every fader of the page at level, its read-out showing text.
QString AllAt(int level, const QString& text) {
    return QStringLiteral("[...document.querySelectorAll('[role=slider]')].every(e => "
                          "e.getAttribute('aria-valuenow') === '%1') && "
                          "[...document.querySelectorAll('.readout')].every(e => "
                          "e.textContent === '%2')")
        .arg(level)
        .arg(text);
}

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired()) {
        if (pred()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return pred();
}

// The desk with the reference host, its window shown and its first frames in.
QString StartDesk(DeskSession& s, const QStringList& args) {
    if (!s.StartDisplay() || !s.StartMonitor() || !s.StartDesk(args)) return {};
    const QString window = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    if (!window.isEmpty() && !s.WaitForMessages(3, 20s)) return {};
    return window;
}

int MenuHeight(DeskSession& s, const QString& window) {
    QString geometry;
    s.Xdotool({"getwindowgeometry", "--shell", window}, &geometry);
    const int height = geometry.section(QStringLiteral("HEIGHT="), 1).section('\n', 0, 0).toInt();
    return height - deskframes::kClientHeight;
}

QString Url(const QString& address, int port) {
    return QStringLiteral("http://%1:%2/").arg(address).arg(port);
}

QString ScreenshotPath(const QString& name) {
    QDir().mkpath(QStringLiteral(REMOTE_SCREENSHOT_DIR));
    return QStringLiteral(REMOTE_SCREENSHOT_DIR "/") + name;
}

// The colour in the middle of a page button in a screenshot.
QColor PageButtonColour(const QString& path, const QString& id, RemotePages& pages, int page) {
    const QJsonArray at =
        pages
            .Eval(id, QStringLiteral("(() => { const r = document.querySelectorAll('#pages "
                                     "button')[%1].getBoundingClientRect(); return "
                                     "[r.left + 6, r.top + 6]; })()")
                          .arg(page - 1))
            .toArray();
    const QImage image(path);
    return image.pixelColor(static_cast<int>(at.at(0).toDouble()),
                            static_cast<int>(at.at(1).toDouble()));
}

class RemoteEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const TPrivateNetwork& network = EnterPrivateNetwork();
        if (!network.ready) GTEST_SKIP() << "no private network namespace: " << network.why;
    }
};

// A page's own WebSocket from the test, as a script of another program would
// open one.
struct RawClient {
    std::unique_ptr<QWebSocket> socket;
    QStringList received;
    bool closed = false;
    int closeCode = -1;

    RawClient(const QString& origin, const QString& url) {
        socket = std::make_unique<QWebSocket>(origin);
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived,
                         [this](const QString& m) { received << m; });
        QObject::connect(socket.get(), &QWebSocket::disconnected, [this] {
            closed = true;
            closeCode = socket->closeCode();
        });
        socket->open(QUrl(url));
    }
    // Sent at once: the test's own waits do not run the event loop.
    void Send(const QString& text) {
        socket->sendTextMessage(text);
        socket->flush();
    }
    bool HasState() const {
        for (const QString& m : received)
            if (m.contains(QLatin1String("\"t\":\"state\""))) return true;
        return false;
    }
    // The fader levels of the newest state or levels message.
    QJsonArray LastLevels() const {
        for (qsizetype i = received.size() - 1; i >= 0; --i) {
            const QJsonObject o = QJsonDocument::fromJson(received[i].toUtf8()).object();
            if (o.contains(QLatin1String("levels")))
                return o.value(QLatin1String("levels")).toArray();
        }
        return {};
    }
};

} // namespace

TEST_F(RemoteEndToEnd, PhoneAndTabletFollowTheDeskAndTheDeskFollowsThem) {
    constexpr int port = 18601;
    DeskSession s;
    const QString window = StartDesk(s, {QStringLiteral("--remote"), QString::number(port)});
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    const int menu = MenuHeight(s, window);
    ASSERT_GT(menu, 0);

    RemotePages pages;
    ASSERT_TRUE(pages.Start(s.Environment())) << pages.LastError().toStdString();
    const QString url = Url(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(pages.Open("phone", url, 390, 844)) << pages.LastError().toStdString();
    ASSERT_TRUE(pages.Open("tablet", url, 1280, 800, false)) << pages.LastError().toStdString();
    ASSERT_TRUE(pages.WaitFor("phone", kReady)) << "the phone's page never showed the desk";
    ASSERT_TRUE(pages.WaitFor("tablet", kReady));
    // The sliders are found as a screen reader finds them, in the desk's order.
    EXPECT_EQ(pages
                  .Eval("tablet", "[...document.querySelectorAll('[role=slider]')]"
                                  ".map(e => e.parentNode.querySelector('.bump').textContent)"
                                  ".join(',')")
                  .toString(),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"
                             "25,26,27,28,29,30,31,32"));

    // A finger drags fader 1 up on the phone: the host gets the frames, the
    // last one at the level the phone shows, and the tablet shows it too.
    std::size_t before = s.Messages().size();
    const QJsonObject dragged =
        pages.Do({{"cmd", "drag"}, {"id", "phone"}, {"slot", 1}, {"dy", -160}, {"steps", 12}});
    ASSERT_TRUE(dragged.value("ok").toBool()) << pages.LastError().toStdString();
    ASSERT_TRUE(
        pages.WaitFor("phone", "window.__arrivals.length > 0 && "
                               "window.__arrivals[window.__arrivals.length-1].levels[0] === " +
                                   SliderValue(1)));
    const int level = pages.Eval("phone", SliderValue(1)).toInt();
    EXPECT_GT(level, 20) << "the fader followed the finger up";
    EXPECT_LT(level, 255);
    EXPECT_TRUE(deskframes::WaitFor(s, before,
                                    [&](const QJsonObject& m) { return LevelOf(m, 1) == level; }))
        << "the host never got channel 1 at " << level;
    std::size_t framesOfDrag = 0;
    for (const QJsonObject& m : s.Messages())
        if (LevelOf(m, 1) > 0) ++framesOfDrag;
    EXPECT_GT(framesOfDrag, 1u) << "the level travelled, not jumped";
    EXPECT_EQ(LevelOf(s.Messages().back(), 1), level) << "the last frame holds the last level";
    EXPECT_TRUE(pages.WaitFor("tablet", SliderValue(1) + " === " + QString::number(level)));
    EXPECT_EQ(pages.Eval("tablet", ReadoutOf(1)).toString(),
              QString::number(static_cast<int>(std::lround(level * 100.0 / 255))) + '%');

    // The figure for the notes (no assertion on time): touch -> echo, which
    // the desk sends after the frame.
    const QJsonObject timed =
        pages.Do({{"cmd", "touchLatency"}, {"id", "phone"}, {"slot", 5}, {"steps", 40}});
    ASSERT_TRUE(timed.value("ok").toBool()) << pages.LastError().toStdString();
    std::vector<double> samples;
    for (const QJsonValue& v : timed.value("samples").toArray())
        samples.push_back(v.toDouble());
    std::sort(samples.begin(), samples.end());
    ASSERT_FALSE(samples.empty());
    const double median = samples[samples.size() / 2];
    std::printf(
        "touch on the page -> the desk's echo (after its frame): median %.1f ms, max %.1f ms\n",
        median, samples.back());
    RecordProperty("touch_to_echo_median_ms", QString::number(median, 'f', 1).toStdString());
    std::vector<double> fromEvent;
    for (const QJsonValue& v : timed.value("fromEvent").toArray())
        fromEvent.push_back(v.toDouble());
    std::sort(fromEvent.begin(), fromEvent.end());
    std::vector<double> inBrowser;
    for (const QJsonValue& v : timed.value("inBrowser").toArray())
        inBrowser.push_back(v.toDouble());
    std::sort(inBrowser.begin(), inBrowser.end());
    if (!inBrowser.empty())
        std::printf("of which the browser held the touch before the page saw it: median %.1f ms\n",
                    inBrowser[inBrowser.size() / 2]);
    if (!fromEvent.empty())
        std::printf("the browser's touch event -> the desk's echo: median %.1f ms, max %.1f ms\n",
                    fromEvent[fromEvent.size() / 2], fromEvent.back());

    // A bulk command on the desk (Action > All Faders To 50%) reaches both.
    before = s.Messages().size();
    // Focus follows the pointer: a click on the menu bar's empty end first.
    ASSERT_TRUE(s.Xdotool(
        {"mousemove", "--window", window, "400", QString::number(menu / 2), "click", "1"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+a", "Down", "Down", "Return"}));
    EXPECT_TRUE(deskframes::WaitFor(
        s, before, [](const QJsonObject& m) { return deskframes::AllLevelsAre(m, 128); }));
    EXPECT_TRUE(pages.WaitFor("phone", AllAt(128, "50%")));
    EXPECT_TRUE(pages.WaitFor("tablet", AllAt(128, "50%")));

    // Page 2 chosen on the phone: the desk shows it (its fader 1 is channel
    // 33 now), and so does the tablet.
    ASSERT_TRUE(
        pages.Ok({{"cmd", "tap"}, {"id", "phone"}, {"selector", "#pages button:nth-child(2)"}}));
    EXPECT_TRUE(pages.WaitFor("tablet", "document.querySelector('.bump').textContent === '33'"));
    before = s.Messages().size();
    ASSERT_TRUE(pages.Ok({{"cmd", "drag"}, {"id", "tablet"}, {"slot", 1}, {"dy", 300}}));
    EXPECT_TRUE(deskframes::WaitFor(s, before, [](const QJsonObject& m) {
        return LevelOf(m, 33) == 0 && LevelOf(m, 1) == 128;
    })) << "the tablet's fader 1 is channel 33 on page 2";

    // Page 3 chosen on the desk: both pages follow.
    ASSERT_TRUE(
        s.Xdotool({"mousemove", "--window", window, QString::number(2 * kColumn + kColumn / 2),
                   QString::number(menu + 20), "click", "1"}));
    EXPECT_TRUE(pages.WaitFor("phone", "document.querySelector('.bump').textContent === '65' && "
                                       "document.querySelectorAll('#pages button')[2]"
                                       ".getAttribute('aria-pressed') === 'true'"));
    EXPECT_TRUE(pages.WaitFor("tablet", "document.querySelector('.bump').textContent === '65'"));

    // A momentary bump held on the phone: channel 66 at full while held.
    before = s.Messages().size();
    ASSERT_TRUE(
        pages.Ok({{"cmd", "touchDown"}, {"id", "phone"}, {"selector", ".bump[data-slot='2']"}}));
    EXPECT_TRUE(
        deskframes::WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 66) == 255; }));
    EXPECT_TRUE(pages.WaitFor("tablet", SliderValue(2) + " === 255"));
    before = s.Messages().size();
    ASSERT_TRUE(pages.Ok({{"cmd", "touchEnd"}, {"id", "phone"}}));
    EXPECT_TRUE(deskframes::WaitFor(s, before, [](const QJsonObject& m) {
        return LevelOf(m, 66) == 128;
    })) << "let go, the bump gives the channel its level back";

    // Bumps as toggles (Preferences > Bump Button As Toggle): a tap latches.
    ASSERT_TRUE(s.Xdotool(
        {"mousemove", "--window", window, "400", QString::number(menu / 2), "click", "1"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "t"}));
    ASSERT_TRUE(
        pages.WaitFor("phone", "document.querySelector('.bump').hasAttribute('aria-pressed')"))
        << "the page learns that bumps toggle";
    before = s.Messages().size();
    ASSERT_TRUE(pages.Ok({{"cmd", "tap"}, {"id", "phone"}, {"selector", ".bump[data-slot='3']"}}));
    EXPECT_TRUE(
        deskframes::WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 67) == 255; }));
    EXPECT_TRUE(pages.WaitFor("tablet", "document.querySelector(\".bump[data-slot='3']\")"
                                        ".getAttribute('aria-pressed') === 'true'"));
    before = s.Messages().size();
    ASSERT_TRUE(pages.Ok({{"cmd", "tap"}, {"id", "tablet"}, {"selector", ".bump[data-slot='3']"}}));
    EXPECT_TRUE(
        deskframes::WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 67) == 128; }))
        << "tablet after its tap: "
        << QJsonDocument(pages
                             .Eval("tablet", "[document.querySelector(\".bump[data-slot='3']\")"
                                             ".getAttribute('aria-pressed'), "
                                             "window.__arrivals.length, window.__events.join(' ')]")
                             .toArray())
               .toJson(QJsonDocument::Compact)
               .toStdString();

    // The pictures: page 3 shown and live is yellow; page 1, live, orange.
    const QString phoneShot = ScreenshotPath(QStringLiteral("remote-phone.png"));
    const QString tabletShot = ScreenshotPath(QStringLiteral("remote-tablet.png"));
    ASSERT_TRUE(pages.WaitFor("phone", "document.querySelectorAll('#pages "
                                       "button')[2].style.backgroundColor === 'rgb(255, 255, 0)'"));
    ASSERT_TRUE(pages.Ok({{"cmd", "screenshot"}, {"id", "phone"}, {"path", phoneShot}}));
    ASSERT_TRUE(pages.Ok({{"cmd", "screenshot"}, {"id", "tablet"}, {"path", tabletShot}}));
    EXPECT_EQ(PageButtonColour(phoneShot, "phone", pages, 3), QColor(255, 255, 0));
    EXPECT_EQ(PageButtonColour(phoneShot, "phone", pages, 1), QColor(255, 128, 0));
    EXPECT_EQ(PageButtonColour(tabletShot, "tablet", pages, 3), QColor(255, 255, 0));
    EXPECT_EQ(QImage(phoneShot).size(), QSize(390, 844));
    // On the phone the bank is wider than the screen and is swiped across.
    EXPECT_TRUE(pages
                    .Eval("phone", "document.getElementById('bank').scrollWidth > "
                                   "document.getElementById('bank').clientWidth")
                    .toBool());
    const QJsonObject swiped =
        pages.Do({{"cmd", "swipe"}, {"id", "phone"}, {"selector", "#readout-3"}, {"dx", -250}});
    EXPECT_GT(swiped.value("scrollLeft").toDouble(), 100) << "a swipe brings the next faders in";

    // Preferences > Display Value As Digit: the read-outs follow the desk's.
    ASSERT_TRUE(s.Xdotool(
        {"mousemove", "--window", window, "400", QString::number(menu / 2), "click", "1"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "d"}));
    EXPECT_TRUE(pages.WaitFor("phone", ReadoutOf(1) + " === '128'"));
    EXPECT_TRUE(
        pages.WaitFor("tablet", ReadoutOf(3) + " === '128' && " + ReadoutOf(1) + " === '128'"));

    // The desk goes away: the page says so; it comes back: the page finds it
    // by itself and shows the levels the desk starts with (as digits, the
    // preference it kept).
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    ASSERT_EQ(s.WaitForDeskExit(20s), 0);
    EXPECT_TRUE(pages.WaitFor("phone",
                              "document.getElementById('link').classList.contains('lost') && "
                              "/lost/.test(document.getElementById('link').textContent)"));
    before = s.Messages().size();
    ASSERT_TRUE(s.StartDesk({QStringLiteral("--remote"), QString::number(port)}));
    const QString again = s.WaitForWindow(QStringLiteral("Vantrelle 4.03"), 20s);
    ASSERT_FALSE(again.isEmpty());
    EXPECT_TRUE(pages.WaitFor("phone",
                              "document.getElementById('link').classList.contains('online') && " +
                                  QString::fromLatin1(kReady) + " && " + AllAt(0, "0"),
                              20000))
        << "the page reconnected and shows the fresh desk";
    before = s.Messages().size();
    ASSERT_TRUE(pages.Ok({{"cmd", "drag"}, {"id", "phone"}, {"slot", 4}, {"dy", -400}}));
    EXPECT_TRUE(
        deskframes::WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 4) == 255; }));
    ASSERT_TRUE(s.ExitWithoutSavingLayout(again)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

TEST_F(RemoteEndToEnd, AStrangerPairsOnceWithTheCodeAndIsRevokedInTheDialog) {
    constexpr int port = 18602;
    const QString address = QString::fromLatin1(LOCAL_ADDRESS);
    DeskSession s;
    s.SetCaptureDeskOutput(true);
    const QString window =
        StartDesk(s, {QStringLiteral("--remote"), address + ':' + QString::number(port)});
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    QString code;
    ASSERT_TRUE(WaitUntil(
        [&] {
            s.WaitForMessages(s.Messages().size() + 1, 50ms);
            const QByteArray out = s.DeskOutput();
            const qsizetype at = out.lastIndexOf("pairing code ");
            if (at < 0) return false;
            code = QString::fromLatin1(out.mid(at + 13, 6));
            return true;
        },
        10s))
        << "the desk never showed a pairing code";

    RemotePages pages;
    ASSERT_TRUE(pages.Start(s.Environment()));
    ASSERT_TRUE(pages.Open("phone", Url(address, port), 390, 844));
    ASSERT_TRUE(pages.WaitFor("phone", "!document.getElementById('pairing').hidden"))
        << "a page from another address is asked for the code";
    EXPECT_TRUE(pages.Eval("phone", "document.getElementById('desk').hidden").toBool());
    EXPECT_EQ(pages.Eval("phone", "window.__arrivals.length").toInt(), 0) << "and told nothing";

    // A wrong code: refused, and the next try waits.
    const QString wrong =
        code == QStringLiteral("000000") ? QStringLiteral("111111") : QStringLiteral("000000");
    ASSERT_TRUE(pages.Ok({{"cmd", "type"},
                          {"id", "phone"},
                          {"selector", "#code"},
                          {"text", wrong},
                          {"submit", true}}));
    EXPECT_TRUE(pages.WaitFor(
        "phone", "/Wrong code/.test(document.getElementById('pairing-note').textContent)"));
    // The right code at once is not heard either: the wait is not over.
    ASSERT_TRUE(pages.Ok({{"cmd", "type"},
                          {"id", "phone"},
                          {"selector", "#code"},
                          {"text", code},
                          {"submit", true}}));
    EXPECT_TRUE(pages.WaitFor(
        "phone", "/Try again in/.test(document.getElementById('pairing-note').textContent)"));
    EXPECT_TRUE(pages.Eval("phone", "document.getElementById('desk').hidden").toBool());
    QThread::msleep(1300);
    // The same code, after the wait, pairs (two wrong codes do not change it).
    ASSERT_TRUE(pages.Ok({{"cmd", "type"},
                          {"id", "phone"},
                          {"selector", "#code"},
                          {"text", code},
                          {"submit", true}}));
    ASSERT_TRUE(pages.WaitFor("phone", kReady)) << "the right code pairs the page";
    EXPECT_FALSE(
        pages.Eval("phone", "localStorage.getItem('vantrelle-remote-token')").toString().isEmpty());

    // The page comes back with its token and needs no code.
    ASSERT_TRUE(pages.Ok({{"cmd", "eval"}, {"id", "phone"}, {"expr", "location.reload()"}}));
    ASSERT_TRUE(pages.WaitFor("phone", kReady)) << "a paired page comes back by itself";
    std::size_t before = s.Messages().size();
    ASSERT_TRUE(pages.Ok({{"cmd", "drag"}, {"id", "phone"}, {"slot", 2}, {"dy", -400}}));
    EXPECT_TRUE(
        deskframes::WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 2) == 255; }));

    // The token file holds no token.
    const QString token =
        pages.Eval("phone", "localStorage.getItem('vantrelle-remote-token')").toString();
    QFile devices(s.ProgramDir() + QStringLiteral("/RemoteDevices.json"));
    ASSERT_TRUE(devices.open(QIODevice::ReadOnly)) << "the paired device is kept beside Config.dat";
    const QByteArray stored = devices.readAll();
    EXPECT_TRUE(stored.contains("tokenSha256"));
    EXPECT_FALSE(stored.contains(token.toLatin1()));

    // Revoked in Preferences > Remote Access…: the page is closed and asks again.
    const int menu = MenuHeight(s, window);
    ASSERT_TRUE(s.Xdotool(
        {"mousemove", "--window", window, "300", QString::number(menu / 2), "click", "1"}));
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "r"}));
    const QString dialog = s.WaitForWindow(QStringLiteral("Remote Access"), 10s);
    ASSERT_FALSE(dialog.isEmpty()) << "the Remote Access dialog did not open";
    ASSERT_TRUE(s.Xdotool({"key", "--delay", "150", "alt+p", "Home", "alt+r"}));
    EXPECT_TRUE(pages.WaitFor(
        "phone", "!document.getElementById('pairing').hidden && "
                 "/revoked/.test(document.getElementById('pairing-note').textContent)"));
    EXPECT_TRUE(pages.Eval("phone", "localStorage.getItem('vantrelle-remote-token')").isNull());
    // The old token itself is refused too.
    RawClient replay(Url(address, port).chopped(1),
                     QStringLiteral("ws://%1:%2/ws").arg(address).arg(port));
    ASSERT_TRUE(WaitUntil([&] { return !replay.received.isEmpty(); }, 5s));
    replay.Send(QStringLiteral(R"({"t":"auth","token":"%1"})").arg(token));
    EXPECT_TRUE(WaitUntil([&] { return replay.received.join(' ').contains("unpaired"); }, 5s));
    EXPECT_FALSE(replay.HasState());
    // Moves from an unpaired client close it and reach nothing.
    before = s.Messages().size();
    replay.Send(QStringLiteral(R"({"t":"move","slot":5,"level":200})"));
    EXPECT_TRUE(WaitUntil([&] { return replay.closed; }, 5s));
    EXPECT_EQ(replay.closeCode, 1008);
    ASSERT_TRUE(s.Xdotool({"key", "Escape"}));
    QThread::msleep(300);
    for (std::size_t i = before; i < s.Messages().size(); ++i)
        EXPECT_NE(LevelOf(s.Messages()[i], 5), 200);

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

TEST_F(RemoteEndToEnd, ForeignOriginsAndBadMessagesCloseOnlyThatClient) {
    constexpr int port = 18603;
    DeskSession s;
    const QString window = StartDesk(s, {QStringLiteral("--remote"), QString::number(port)});
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    const QString ws = QStringLiteral("ws://127.0.0.1:%1/ws").arg(port);
    const QString ours = QStringLiteral("http://127.0.0.1:%1").arg(port);

    RawClient good(ours, ws);
    ASSERT_TRUE(WaitUntil([&] { return good.HasState(); }, 10s)) << "a page of ours is served";

    // Another site's page in the operator's browser, and a script with no Origin.
    RawClient foreign(QStringLiteral("http://evil.example"), ws);
    RawClient noOrigin(QString(), ws);
    RawClient rebound(QStringLiteral("http://attacker.example:%1").arg(port), ws);
    EXPECT_TRUE(
        WaitUntil([&] { return foreign.closed && noOrigin.closed && rebound.closed; }, 10s));
    for (const RawClient* c : {&foreign, &noOrigin, &rebound}) {
        EXPECT_TRUE(c->received.isEmpty()) << "told nothing";
        EXPECT_EQ(c->closeCode, 1008);
    }
    // The same from a page of another origin in Chromium.
    RemotePages pages;
    ASSERT_TRUE(pages.Start(s.Environment()));
    ASSERT_TRUE(pages.Open("other", "about:blank", 800, 600, false));
    ASSERT_TRUE(
        pages.Ok({{"cmd", "eval"},
                  {"id", "other"},
                  {"expr", QStringLiteral("window.seen = []; const w = new WebSocket('%1'); "
                                          "w.onmessage = (e) => window.seen.push(e.data); "
                                          "w.onclose = (e) => window.closedWith = e.code; 1")
                               .arg(ws)}}));
    EXPECT_TRUE(pages.WaitFor("other", "window.closedWith !== undefined"));
    EXPECT_EQ(pages.Eval("other", "window.seen.length").toInt(), 0);

    // Malformed, out of range, binary and oversize: each closes its own client.
    std::vector<std::unique_ptr<RawClient>> bad;
    for (int i = 0; i < 5; ++i)
        bad.push_back(std::make_unique<RawClient>(ours, ws));
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (auto& c : bad)
                if (!c->HasState()) return false;
            return true;
        },
        10s));
    std::size_t before = s.Messages().size();
    bad[0]->Send(QStringLiteral("{not json"));
    bad[1]->Send(QStringLiteral(R"({"t":"move","slot":40,"level":9})"));
    bad[2]->Send(QStringLiteral(R"({"t":"move","slot":1,"level":300})"));
    bad[3]->socket->sendBinaryMessage(QByteArray("\x01\x02", 2));
    bad[3]->socket->flush();
    bad[4]->Send(QStringLiteral(R"({"t":"move","slot":1,"level":9,"pad":"%1"})")
                     .arg(QString(100000, QLatin1Char('x'))));
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (auto& c : bad)
                if (!c->closed) return false;
            return true;
        },
        10s));
    EXPECT_EQ(bad[0]->closeCode, 1008);
    EXPECT_EQ(bad[1]->closeCode, 1008);
    EXPECT_EQ(bad[4]->closeCode, 1009) << "too big";
    // The good client is still served, and a good move still works.
    EXPECT_FALSE(good.closed);
    good.Send(QStringLiteral(R"({"t":"move","slot":7,"level":99})"));
    EXPECT_TRUE(
        deskframes::WaitFor(s, before, [](const QJsonObject& m) { return LevelOf(m, 7) == 99; }));
    EXPECT_TRUE(WaitUntil([&] { return good.LastLevels().at(6).toInt() == 99; }, 5s));
    for (const QJsonObject& m : s.Messages())
        EXPECT_NE(LevelOf(m, 1), 9) << "nothing of a bad message reached the host";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

TEST_F(RemoteEndToEnd, TwentyPagesKeepUpAndOneThatStopsReadingIsDropped) {
    constexpr int port = 18604;
    DeskSession s;
    const QString window = StartDesk(s, {QStringLiteral("--remote"), QString::number(port)});
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    const QString ws = QStringLiteral("ws://127.0.0.1:%1/ws").arg(port);
    const QString ours = QStringLiteral("http://127.0.0.1:%1").arg(port);

    // One client that reads nothing: a small receive window, never read.
    const int stuck = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(stuck, 0);
    const int small = 4096;
    ::setsockopt(stuck, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(stuck, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    const QByteArray upgrade =
        QStringLiteral(
            "GET /ws HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nUpgrade: websocket\r\nConnection: "
            "Upgrade\r\n"
            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
            "Origin: http://127.0.0.1:%1\r\n\r\n")
            .arg(port)
            .toLatin1();
    ASSERT_EQ(::send(stuck, upgrade.constData(), static_cast<size_t>(upgrade.size()), 0),
              upgrade.size());

    std::vector<std::unique_ptr<RawClient>> twenty;
    for (int i = 0; i < 20; ++i)
        twenty.push_back(std::make_unique<RawClient>(ours, ws));
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (auto& c : twenty)
                if (!c->HasState()) return false;
            return true;
        },
        15s))
        << "twenty pages at once";

    // Fader 1 swept for seven seconds by one of them: the reader that stopped
    // falls behind, is skipped, and is let go; the others keep up.
    RawClient& mover = *twenty.front();
    QDeadlineTimer sweep(7s);
    for (int i = 0; !sweep.hasExpired(); ++i) {
        mover.Send(QStringLiteral(R"({"t":"move","slot":1,"level":%1})").arg(1 + i % 250));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(500);
    }
    std::size_t before = s.Messages().size();
    mover.Send(QStringLiteral(R"({"t":"move","slot":1,"level":251})"));
    EXPECT_TRUE(deskframes::WaitFor(s, 0, [](const QJsonObject& m) {
        return LevelOf(m, 1) == 251;
    })) << "the last level always arrives";
    (void)before;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (auto& c : twenty)
                if (c->LastLevels().at(0).toInt() != 251) return false;
            return true;
        },
        15s))
        << "every page shows the last level";
    for (auto& c : twenty)
        EXPECT_FALSE(c->closed);

    // The stuck client's connection was dropped by the desk: what it was sent
    // ends, then the connection does.
    ::fcntl(stuck, F_SETFL, O_NONBLOCK);
    char sink[65536];
    bool ended = false;
    QByteArray head;
    qint64 drained = 0;
    QDeadlineTimer drain(15s);
    while (!drain.hasExpired() && !ended) {
        const ssize_t n = ::recv(stuck, sink, sizeof sink, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK))
            ended = true;
        else if (n < 0)
            QThread::msleep(20);
        else {
            if (head.size() < 64) head.append(sink, static_cast<qsizetype>(n));
            drained += n;
        }
    }
    ::close(stuck);
    EXPECT_TRUE(head.startsWith("HTTP/1.1 101")) << "it was a page like the others";
    EXPECT_GT(drained, 64 * 1024) << "it was fed until it fell behind";
    EXPECT_TRUE(ended) << "a client that stopped reading was not dropped";

    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}

TEST_F(RemoteEndToEnd, WithoutRemoteTheDeskListensOnNoPort) {
    DeskSession s;
    const QString window = StartDesk(s, {});
    ASSERT_FALSE(window.isEmpty()) << s.Error().toStdString();
    const std::string listening = CaptureOutput("ss -Hltnp 2>/dev/null; ss -Hlunp 2>/dev/null");
    const std::string pid = "pid=" + std::to_string(s.DeskPid()) + ",";
    EXPECT_EQ(listening.find(pid), std::string::npos) << listening;
    ASSERT_TRUE(s.ExitWithoutSavingLayout(window)) << s.Error().toStdString();
    EXPECT_EQ(s.WaitForDeskExit(20s), 0);
}
