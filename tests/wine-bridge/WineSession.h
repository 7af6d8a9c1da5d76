#pragma once
// The wine side of a bridge scenario: one private wine prefix for the whole
// run, and in each scenario the Windows mock host and the bridge beside a
// DeskSession, on its display.

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "DeskSession.h"

// Creates the prefix (wineboot) and puts WINEPREFIX and friends into this
// process's environment, which every DeskSession hands on. False with `error`.
bool CreateWinePrefix(QString* error);
// Ends every wine process of the prefix and removes it.
void RemoveWinePrefix();

struct LoggedKey {
    std::uint32_t Msg;
    std::uint64_t WParam;
    std::uint64_t LParam;
    bool operator==(const LoggedKey&) const = default;
};
inline void PrintTo(const LoggedKey& k, std::ostream* os) {
    *os << std::hex << "{msg 0x" << k.Msg << ", wParam 0x" << k.WParam << ", lParam 0x" << k.LParam
        << "}" << std::dec;
}

class WineSession {
public:
    explicit WineSession(DeskSession& desk);
    // Ends the bridge and every wine process of the scenario (wineserver -k).
    ~WineSession();

    // The mock host: waits until its window exists.
    bool StartMockHost();
    // Kills it the hard way, as a crash would.
    bool KillMockHost();
    // The bridge, as the desk's host: waits until it listens.
    bool StartBridge();
    // Kills the bridge the hard way: its socket file stays behind.
    bool KillBridge();
    // Runs a second bridge to its end; its exit code and what it printed.
    int RunSecondBridge(QString* output);

    // While on, the mock host stops reading its messages.
    bool SetHung(bool on);

    // What the mock host logged. Frames: the bytes of every WM_COPYDATA that
    // was a well-formed channel frame; any other copy is a fault recorded in
    // Faults().
    QStringList LogLines() const;
    std::vector<QByteArray> Frames() const;
    std::vector<LoggedKey> Keys() const;
    QStringList Faults() const;
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForKeys(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitForLine(const QString& line, std::chrono::milliseconds timeout) const;

    QString Error() const { return error_; }
    QString BridgeOutput();

private:
    DeskSession& desk_;
    QProcess mock_;
    QProcess bridge_;
    QString log_;
    QString hangFile_;
    QByteArray bridgeOutput_;
    QString error_;
};

// The desk's link indicator, told by the colour of its text at the right
// end of the menu bar: "connected", "not answering", "refused", "no host";
// "nothing" when none shows, empty when the window could not be read.
QString IndicatorState(DeskSession& desk, const QString& window);
// Waits until the indicator shows this state.
bool WaitForIndicator(DeskSession& desk, const QString& window, const QString& state,
                      std::chrono::milliseconds timeout);

// Waits until no new frame has come for `quiet`; the frames then.
std::vector<QByteArray> SettledFrames(const std::function<std::vector<QByteArray>()>& frames,
                                      std::chrono::milliseconds quiet,
                                      std::chrono::milliseconds timeout);
