#pragma once
// One MIDI surface's ports through RtMidi (the ALSA sequencer or JACK).
// Input arrives on the library's thread, is decoded through the profile
// there and left in the mailbox; output is sent from a thread of its own,
// so a slow device never holds the window. A watcher thread opens the
// ports when they appear, shows them as gone when they are unplugged, and
// opens them again when they come back.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "surfaces/InputMailbox.h"
#include "surfaces/MidiCodec.h"
#include "surfaces/SurfaceSettings.h"

class RtMidiIn;
class RtMidiOut;

enum class TPortState { Off, Waiting, Open, Gone, Failed };

struct TPortStatus {
    TPortState State = TPortState::Off;
    std::string Text; // in words, for the status corner and the dialog
};

class TMidiPort {
public:
    using TStatusListener = std::function<void(const TPortStatus&)>;
    using TLearnListener = std::function<void(const TMidiAddress&)>;

    TMidiPort(TMidiApi api, std::string inputPattern, std::string outputPattern,
              TSurfaceProfile profile, TInputMailbox& mailbox);
    ~TMidiPort();

    // Listeners are called on the port's threads.
    void SetStatusListener(TStatusListener listener);
    // While set, the next fader-like control moved is reported here too.
    void SetLearnListener(TLearnListener listener);
    void Start();
    void Stop();
    // Any thread; sent in order from the sender thread.
    void Send(TMidiBytes bytes);
    TPortStatus Status() const;
    long long Sent() const { return sent_.load(); }

    // The port names the API offers now, inputs or outputs; the error in words
    // when the API cannot be reached.
    static std::vector<std::string> PortNames(TMidiApi api, bool inputs, std::string* error);
    // Why the API cannot be used here, in words; empty when it can.
    static std::string ApiProblem(TMidiApi api);

private:
    static void Received(double stamp, std::vector<unsigned char>* message, void* self);
    void Watch();
    void SendLoop();
    bool TryOpen();
    bool StillThere();
    void Close();
    void ClosePorts();
    void SetStatus(TPortState state, std::string text);

    const TMidiApi api_;
    const std::string inputPattern_;
    const std::string outputPattern_;
    TMidiCodec codec_; // used on the input thread only
    TInputMailbox& mailbox_;

    mutable std::mutex portsMutex_; // the RtMidi objects
    std::unique_ptr<RtMidiIn> in_;
    std::unique_ptr<RtMidiOut> out_;
    std::string inName_, outName_;
    int unseenTicks_ = 0;

    mutable std::mutex statusMutex_;
    TPortStatus status_;
    TStatusListener statusListener_;
    std::mutex learnMutex_;
    TLearnListener learnListener_;

    std::mutex queueMutex_;
    std::condition_variable queueReady_;
    std::deque<TMidiBytes> queue_;
    std::atomic<bool> running_{false};
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    std::thread watcher_;
    std::thread sender_;
    std::atomic<long long> sent_{0};
};
