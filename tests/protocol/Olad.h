#pragma once
// A real olad inside the private namespace: an unprivileged user, a private
// configuration directory, every plugin off but the one under test.

#include "core/DmxConstants.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

using TUniverseLevels = std::array<std::uint8_t, DMX_UNIVERSE_SIZE>;

class TOlad {
public:
    // `plugin` is the configuration name ("e131", "artnet") or "" for none.
    explicit TOlad(std::string plugin);
    ~TOlad();

    // Starts olad and waits until its RPC port answers; false with Error() set.
    bool Start();
    // Starts olad and patches port 0 of its plugin's first device to
    // `universe`: the input port of a network plugin, or the output port of
    // the dummy plugin, which keeps a universe alive for a client's levels.
    enum class Port { Input, Output };
    bool StartPatched(Port port, unsigned universe);
    // Ends olad at once, as a crash would.
    void Kill();
    // Stops olad where it is (SIGSTOP) and lets it go on (SIGCONT): the
    // daemon still holds its port, but answers nothing.
    void Pause();
    void Resume();
    const std::string& Error() const { return m_error; }
    std::string Log() const;

    // The first device's number, once the plugin has made it.
    std::optional<int> WaitForDevice();
    // Patches input port 0 of `device` to `universe`.
    bool PatchInput(int device, unsigned universe);
    // Patches output port 0; olad keeps a universe only while a port is on it.
    bool PatchOutput(int device, unsigned universe);
    // The levels olad holds for `universe`, nullopt when it cannot say.
    static std::optional<TUniverseLevels> Fetch(unsigned universe);

private:
    void WriteConfig();

    std::string m_plugin;
    std::string m_dir;
    pid_t m_pid = -1;
    std::string m_error;
};

// Polls `fetch` until olad holds `expected` in `universe` or ten seconds pass.
bool WaitForLevels(unsigned universe, const TUniverseLevels& expected);
// Polls olad until `channel` (1-512) of `universe` satisfies `pred`, or
// fifteen seconds pass.
bool WaitForChannel(unsigned universe, int channel, const std::function<bool(std::uint8_t)>& pred);
