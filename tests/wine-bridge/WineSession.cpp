#include "WineSession.h"

#include <algorithm>
#include <csignal>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#ifndef VANTRELLE_WINE_BRIDGE
#error "VANTRELLE_WINE_BRIDGE must name the bridge's launcher"
#endif

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

QTemporaryDir* g_prefix = nullptr;

bool RunWine(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit &&
           p.exitCode() == 0;
}

void StopProcess(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}

} // namespace

bool CreateWinePrefix(QString* error) {
    g_prefix = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/vantrelle-wine-XXXXXX"));
    if (!g_prefix->isValid()) {
        *error = QStringLiteral("no temporary folder for the prefix");
        return false;
    }
    const QString prefix = g_prefix->path() + QStringLiteral("/prefix");
    qputenv("WINEPREFIX", prefix.toLocal8Bit());
    qputenv("WINEARCH", "win64");
    qputenv("WINEDEBUG", "-all");
    // No offers to install Mono or Gecko: nothing here needs them.
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");
    // Made without a display: the prefix does not depend on one.
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const bool made = RunWine(QStringLiteral(VANTRELLE_WINEBOOT), {QStringLiteral("-i")}, 120000) &&
                      RunWine(QStringLiteral(VANTRELLE_WINESERVER), {QStringLiteral("-w")}, 60000);
    if (!display.isEmpty()) qputenv("DISPLAY", display);
    if (!made || !QFile::exists(prefix + QStringLiteral("/system.reg"))) {
        *error = QStringLiteral("wineboot did not make a prefix in ") + prefix;
        return false;
    }
    return true;
}

void RemoveWinePrefix() {
    RunWine(QStringLiteral(VANTRELLE_WINESERVER), {QStringLiteral("-k")}, 20000);
    delete g_prefix;
    g_prefix = nullptr;
}

WineSession::WineSession(DeskSession& desk) : desk_(desk) {
    log_ = desk.WorkDir() + QStringLiteral("/mock-host.log");
    hangFile_ = desk.WorkDir() + QStringLiteral("/hang");
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.setStandardOutputFile(QProcess::nullDevice());
}

WineSession::~WineSession() {
    QFile::remove(hangFile_);
    StopProcess(bridge_);
    // Every Windows process of the scenario, while its display still exists.
    QProcess kill;
    kill.setProcessEnvironment(desk_.Environment());
    kill.start(QStringLiteral(VANTRELLE_WINESERVER), {QStringLiteral("-k")});
    kill.waitForFinished(20000);
    QProcess wait;
    wait.setProcessEnvironment(desk_.Environment());
    wait.start(QStringLiteral(VANTRELLE_WINESERVER), {QStringLiteral("-w")});
    wait.waitForFinished(20000);
    mock_.waitForFinished(5000);
}

bool WineSession::StartMockHost() {
    if (mock_.state() != QProcess::NotRunning) {
        error_ = QStringLiteral("the mock host is running already");
        return false;
    }
    const qsizetype before = LogLines().count(QStringLiteral("ready"));
    mock_.setProcessEnvironment(desk_.Environment());
    mock_.start(QStringLiteral("wine"),
                {QStringLiteral(VANTRELLE_MOCK_HOST), QStringLiteral("--log"), log_,
                 QStringLiteral("--hang-file"), hangFile_});
    if (!mock_.waitForStarted(5000)) {
        error_ = QStringLiteral("wine did not start the mock host");
        return false;
    }
    const QDeadlineTimer deadline(30s);
    while (LogLines().count(QStringLiteral("ready")) <= before) {
        if (deadline.hasExpired() || mock_.state() == QProcess::NotRunning) {
            error_ = QStringLiteral("the mock host did not make its window");
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

bool WineSession::KillMockHost() {
    if (mock_.state() == QProcess::NotRunning) return false;
    mock_.kill();
    if (!mock_.waitForFinished(5000)) return false;
    // Its window goes once wine has noticed the process is gone.
    QThread::msleep(200);
    return true;
}

bool WineSession::StartBridge() {
    const qsizetype from = BridgeOutput().size();
    bridge_.setProcessEnvironment(desk_.Environment());
    bridge_.setProcessChannelMode(QProcess::MergedChannels);
    bridge_.start(QStringLiteral(VANTRELLE_WINE_BRIDGE), {QStringLiteral("--verbose")});
    if (!bridge_.waitForStarted(5000)) {
        error_ = QStringLiteral("the bridge did not start");
        return false;
    }
    const QDeadlineTimer deadline(60s);
    for (;;) {
        if (BridgeOutput().indexOf(QStringLiteral(" listening at "), from) >= 0) return true;
        if (deadline.hasExpired() || bridge_.state() == QProcess::NotRunning) {
            error_ = QStringLiteral("the bridge did not listen: ") + BridgeOutput();
            return false;
        }
        bridge_.waitForReadyRead(50);
    }
}

bool WineSession::KillBridge() {
    if (bridge_.state() == QProcess::NotRunning) return false;
    ::kill(static_cast<pid_t>(bridge_.processId()), SIGKILL);
    return bridge_.waitForFinished(5000);
}

QString WineSession::BridgeOutput() {
    // Without an event loop the pipe is only read while waiting on it.
    while (bridge_.state() == QProcess::Running && bridge_.waitForReadyRead(20)) {
    }
    if (bridge_.isOpen()) bridgeOutput_ += bridge_.readAll();
    return QString::fromLocal8Bit(bridgeOutput_);
}

int WineSession::RunSecondBridge(QString* output) {
    QProcess second;
    second.setProcessEnvironment(desk_.Environment());
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(QStringLiteral(VANTRELLE_WINE_BRIDGE), {});
    if (!second.waitForFinished(30000)) {
        second.kill();
        second.waitForFinished(3000);
        return -1;
    }
    *output = QString::fromLocal8Bit(second.readAll());
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

bool WineSession::SetHung(bool on) {
    if (!on) return QFile::remove(hangFile_) && WaitForLine(QStringLiteral("hang ends"), 10s);
    QFile f(hangFile_);
    return f.open(QIODevice::WriteOnly) && WaitForLine(QStringLiteral("hang begins"), 10s);
}

QStringList WineSession::LogLines() const {
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'));
    // A line still being written is not one yet.
    lines.removeLast();
    return lines;
}

std::vector<QByteArray> WineSession::Frames() const {
    std::vector<QByteArray> frames;
    for (const QString& line : LogLines()) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() == 4 && f[0] == QStringLiteral("copydata") && f[1] == QStringLiteral("100") &&
            f[2] == QStringLiteral("200") && f[3].size() == 1024)
            frames.push_back(QByteArray::fromHex(f[3].toLatin1()));
    }
    return frames;
}

QStringList WineSession::Faults() const {
    QStringList faults;
    for (const QString& line : LogLines()) {
        if (!line.startsWith(QStringLiteral("copydata "))) continue;
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() != 4 || f[1] != QStringLiteral("100") || f[2] != QStringLiteral("200") ||
            f[3].size() != 1024)
            faults << line.left(80);
    }
    return faults;
}

std::vector<LoggedKey> WineSession::Keys() const {
    std::vector<LoggedKey> keys;
    for (const QString& line : LogLines()) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() != 4 || f[0] != QStringLiteral("key")) continue;
        keys.push_back({f[1].toUInt(nullptr, 16), f[2].toULongLong(nullptr, 16),
                        f[3].toULongLong(nullptr, 16)});
    }
    return keys;
}

namespace {

template <typename Count>
bool WaitForCount(Count count, std::size_t wanted, std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    while (count() < wanted) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

bool WineSession::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
    return WaitForCount([this] { return Frames().size(); }, count, timeout);
}

bool WineSession::WaitForKeys(std::size_t count, std::chrono::milliseconds timeout) const {
    return WaitForCount([this] { return Keys().size(); }, count, timeout);
}

bool WineSession::WaitForLine(const QString& line, std::chrono::milliseconds timeout) const {
    const QDeadlineTimer deadline(timeout);
    while (!LogLines().contains(line)) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
    return true;
}

QString IndicatorState(DeskSession& desk, const QString& window) {
    // The right end of the menu bar, where only the indicator is.
    QProcess grab;
    grab.setProcessEnvironment(desk.Environment());
    grab.start(QStringLiteral("import"),
               {QStringLiteral("-silent"), QStringLiteral("-window"), window,
                QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")});
    if (!grab.waitForFinished(10000) || grab.exitCode() != 0) return {};
    const QByteArray ppm = grab.readAllStandardOutput();
    // P6\n<w> <h>\n255\n then RGB triples.
    const QList<QByteArray> head = ppm.left(64).split('\n');
    if (head.size() < 4 || head[0] != "P6") return {};
    const QList<QByteArray> size = head[1].split(' ');
    if (size.size() != 2) return {};
    const int width = size[0].toInt(), height = size[1].toInt();
    const qsizetype start = head[0].size() + head[1].size() + head[2].size() + 3;
    if (width < 200 || height < 25 || ppm.size() < start + 3LL * width * height) return {};
    // The text is anti-aliased: its colour is told by hue, not by exact pixels.
    int connected = 0, notAnswering = 0, refused = 0, grey = 0;
    for (int y = 0; y < 22; ++y) {
        for (int x = width - 180; x < width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(ppm.constData() + start +
                                                                   3LL * (y * width + x));
            const int r = p[0], g = p[1], b = p[2];
            const int chroma = std::max({r, g, b}) - std::min({r, g, b});
            if (chroma > 40) {
                if (g > r && g > b)
                    ++connected;
                else if (r > g && g - b > 30)
                    ++notAnswering;
                else if (r > g && r > b)
                    ++refused;
            } else if (chroma < 12 && std::max({r, g, b}) < 0xB0) {
                ++grey;
            }
        }
    }
    const int most = std::max({connected, notAnswering, refused});
    if (most > 5) {
        if (most == connected) return QStringLiteral("connected");
        if (most == notAnswering) return QStringLiteral("not answering");
        return QStringLiteral("refused");
    }
    return grey > 5 ? QStringLiteral("no host") : QStringLiteral("nothing");
}

bool WaitForIndicator(DeskSession& desk, const QString& window, const QString& state,
                      std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    do {
        if (IndicatorState(desk, window) == state) return true;
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
}

std::vector<QByteArray> SettledFrames(const std::function<std::vector<QByteArray>()>& frames,
                                      std::chrono::milliseconds quiet,
                                      std::chrono::milliseconds timeout) {
    const QDeadlineTimer deadline(timeout);
    std::vector<QByteArray> last = frames();
    auto since = Clock::now();
    while (!deadline.hasExpired()) {
        QThread::msleep(20);
        QCoreApplication::processEvents();
        std::vector<QByteArray> now = frames();
        if (now.size() != last.size()) {
            last = std::move(now);
            since = Clock::now();
        } else if (Clock::now() - since >= quiet) {
            break;
        }
    }
    return last;
}
