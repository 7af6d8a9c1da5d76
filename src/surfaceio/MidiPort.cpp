#include "surfaceio/MidiPort.h"

#include <algorithm>
#include <cctype>

#include <jack/jack.h>
#include <rtmidi/RtMidi.h>
#include <unistd.h>

namespace {

constexpr auto kWatchInterval = std::chrono::milliseconds(1000);
constexpr int kFreshClientTicks = 10;
constexpr char kClientName[] = "Vantrelle";

RtMidi::Api ApiOf(TMidiApi api) {
    return api == TMidiApi::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

bool Contains(const std::string& name, const std::string& pattern) {
    if (pattern.empty()) return false;
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    return lower(name).find(lower(pattern)) != std::string::npos;
}

// RtMidi reports some failures (no server, a port that went) through this
// instead of throwing; they are read from the port lists instead.
void QuietError(RtMidiError::Type, const std::string&, void*) {}

void QuietJack(const char*) {}

template <class Midi>
std::vector<std::string> Names(Midi& midi) {
    std::vector<std::string> names;
    const unsigned count = midi.getPortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(midi.getPortName(i));
    return names;
}

template <class Midi>
int Find(Midi& midi, const std::string& pattern, std::string& name) {
    const auto names = Names(midi);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (Contains(names[i], pattern)) {
            name = names[i];
            return static_cast<int>(i);
        }
    return -1;
}

// Splits bytes holding whole channel messages one after the other.
std::vector<std::vector<unsigned char>> Messages(const TMidiBytes& bytes) {
    std::vector<std::vector<unsigned char>> out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const int high = bytes[i] & 0xF0;
        const std::size_t size = (high == 0xC0 || high == 0xD0) ? 2 : 3;
        if (bytes[i] < 0x80 || i + size > bytes.size()) break;
        out.emplace_back(bytes.begin() + static_cast<long>(i),
                         bytes.begin() + static_cast<long>(i + size));
        i += size;
    }
    return out;
}

} // namespace

TMidiPort::TMidiPort(TMidiApi api, std::string inputPattern, std::string outputPattern,
                     TSurfaceProfile profile, TInputMailbox& mailbox)
    : api_(api), inputPattern_(std::move(inputPattern)),
      outputPattern_(outputPattern.empty() ? inputPattern_ : std::move(outputPattern)),
      codec_(std::move(profile)), mailbox_(mailbox) {}

TMidiPort::~TMidiPort() {
    Stop();
}

void TMidiPort::SetStatusListener(TStatusListener listener) {
    std::lock_guard lock(statusMutex_);
    statusListener_ = std::move(listener);
}

void TMidiPort::SetLearnListener(TLearnListener listener) {
    std::lock_guard lock(learnMutex_);
    learnListener_ = std::move(listener);
}

TPortStatus TMidiPort::Status() const {
    std::lock_guard lock(statusMutex_);
    return status_;
}

void TMidiPort::SetStatus(TPortState state, std::string text) {
    TStatusListener listener;
    {
        std::lock_guard lock(statusMutex_);
        if (status_.State == state && status_.Text == text) return;
        status_ = {state, std::move(text)};
        listener = statusListener_;
    }
    if (listener) listener(Status());
}

std::string TMidiPort::ApiProblem(TMidiApi api) {
    std::vector<RtMidi::Api> compiled;
    RtMidi::getCompiledApi(compiled);
    if (std::find(compiled.begin(), compiled.end(), ApiOf(api)) == compiled.end())
        return api == TMidiApi::Alsa ? "The MIDI library was built without the ALSA sequencer"
                                     : "The MIDI library was built without JACK";
    if (api == TMidiApi::Alsa) {
        if (access("/dev/snd/seq", R_OK | W_OK) != 0)
            return "No ALSA sequencer on this machine (/dev/snd/seq is missing)";
        return {};
    }
    jack_set_error_function(QuietJack);
    jack_set_info_function(QuietJack);
    jack_status_t status{};
    jack_client_t* client = jack_client_open("vantrelle-probe", JackNoStartServer, &status);
    if (client == nullptr) return "No JACK server is running";
    jack_client_close(client);
    return {};
}

std::vector<std::string> TMidiPort::PortNames(TMidiApi api, bool inputs, std::string* error) {
    if (std::string problem = ApiProblem(api); !problem.empty()) {
        if (error) *error = problem;
        return {};
    }
    try {
        if (inputs) {
            RtMidiIn in(ApiOf(api), std::string(kClientName) + " list");
            in.setErrorCallback(QuietError);
            return Names(in);
        }
        RtMidiOut out(ApiOf(api), std::string(kClientName) + " list");
        out.setErrorCallback(QuietError);
        return Names(out);
    } catch (const RtMidiError& e) {
        if (error) *error = e.getMessage();
        return {};
    }
}

void TMidiPort::Start() {
    if (running_.exchange(true)) return;
    SetStatus(TPortState::Waiting, "starting");
    sender_ = std::thread([this] { SendLoop(); });
    watcher_ = std::thread([this] { Watch(); });
}

void TMidiPort::Stop() {
    if (!running_.exchange(false)) return;
    stopSignal_.notify_all();
    queueReady_.notify_all();
    if (watcher_.joinable()) watcher_.join();
    if (sender_.joinable()) sender_.join();
    Close();
    SetStatus(TPortState::Off, "off");
}

void TMidiPort::Send(TMidiBytes bytes) {
    if (bytes.empty()) return;
    {
        std::lock_guard lock(queueMutex_);
        // A dead device must not grow the queue without end: the oldest go.
        if (queue_.size() >= 4096) queue_.pop_front();
        queue_.push_back(std::move(bytes));
    }
    queueReady_.notify_one();
}

void TMidiPort::SendLoop() {
    while (running_) {
        std::deque<TMidiBytes> batch;
        {
            std::unique_lock lock(queueMutex_);
            queueReady_.wait(lock, [&] { return !queue_.empty() || !running_; });
            batch.swap(queue_);
        }
        std::lock_guard lock(portsMutex_);
        if (!out_ || !out_->isPortOpen()) continue;
        for (const auto& bytes : batch)
            for (const auto& message : Messages(bytes)) {
                try {
                    out_->sendMessage(&message);
                    ++sent_;
                } catch (const RtMidiError&) {
                    // A port that just went; the watcher shows it.
                }
            }
    }
}

void TMidiPort::Received(double, std::vector<unsigned char>* message, void* self) {
    auto* port = static_cast<TMidiPort*>(self);
    if (message == nullptr || message->empty()) return;
    {
        std::lock_guard lock(port->learnMutex_);
        if (port->learnListener_) {
            if (const auto address = LearnedAddress(message->data(), message->size())) {
                auto listener = std::move(port->learnListener_);
                port->learnListener_ = nullptr;
                listener(*address);
                return;
            }
        }
    }
    if (const auto input = port->codec_.Decode(message->data(), message->size()))
        port->mailbox_.Post(*input);
}

bool TMidiPort::TryOpen() {
    if (inputPattern_.empty()) {
        SetStatus(TPortState::Failed, "No MIDI port chosen");
        return false;
    }
    try {
        std::lock_guard lock(portsMutex_);
        // The clients are made once the API answers and kept while the
        // device is away, so waiting for it changes nobody's graph. A client
        // that sees nothing for a while is made afresh, in case its server
        // went and came back.
        if (in_ && ++unseenTicks_ >= kFreshClientTicks) {
            in_.reset();
            out_.reset();
        }
        if (!in_) {
            if (std::string problem = ApiProblem(api_); !problem.empty()) {
                SetStatus(TPortState::Failed, problem);
                return false;
            }
            in_ = std::make_unique<RtMidiIn>(ApiOf(api_), kClientName, 1024);
            in_->setErrorCallback(QuietError);
            in_->setCallback(&TMidiPort::Received, this);
            in_->ignoreTypes(true, true, true);
            out_ = std::make_unique<RtMidiOut>(ApiOf(api_), kClientName);
            out_->setErrorCallback(QuietError);
            unseenTicks_ = 0;
        }
        std::string inName, outName;
        const int inAt = Find(*in_, inputPattern_, inName);
        const int outAt = Find(*out_, outputPattern_, outName);
        if (inAt < 0) {
            const bool wasOpen = Status().State == TPortState::Gone;
            SetStatus(wasOpen ? TPortState::Gone : TPortState::Waiting,
                      (wasOpen ? "gone: " : "waiting for ") + inputPattern_);
            return false;
        }
        in_->openPort(static_cast<unsigned>(inAt), "in");
        if (outAt >= 0) out_->openPort(static_cast<unsigned>(outAt), "out");
        inName_ = inName;
        outName_ = outAt >= 0 ? outName : std::string();
        unseenTicks_ = 0;
        SetStatus(TPortState::Open,
                  inName + (outAt >= 0 ? " / " + outName : std::string(" (no feedback port)")));
        return true;
    } catch (const RtMidiError& e) {
        in_.reset();
        out_.reset();
        SetStatus(TPortState::Failed, e.getMessage());
        return false;
    }
}

bool TMidiPort::StillThere() {
    std::lock_guard lock(portsMutex_);
    if (!in_) return false;
    // The open client's own listing is the graph as it is now; a new client
    // each second would make every other client's graph change too.
    try {
        for (const auto& n : Names(*in_))
            if (n == inName_) return true;
    } catch (const RtMidiError&) {
    }
    return false;
}

void TMidiPort::Close() {
    std::lock_guard lock(portsMutex_);
    in_.reset();
    out_.reset();
}

void TMidiPort::ClosePorts() {
    std::lock_guard lock(portsMutex_);
    try {
        if (in_) in_->closePort();
        if (out_) out_->closePort();
    } catch (const RtMidiError&) {
        in_.reset();
        out_.reset();
    }
}

void TMidiPort::Watch() {
    bool open = false;
    while (running_) {
        if (!open) {
            open = TryOpen();
        } else if (!StillThere()) {
            ClosePorts();
            open = false;
            SetStatus(TPortState::Gone, "gone: " + inputPattern_);
        }
        std::unique_lock lock(stopMutex_);
        stopSignal_.wait_for(lock, kWatchInterval, [&] { return !running_; });
    }
}
