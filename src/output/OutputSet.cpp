#include "output/OutputSet.h"

#include "output/ArtNetOutput.h"
#include "output/Cid.h"
#include "output/OlaModule.h"
#include "output/SacnOutput.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array ALL_KINDS = {TOutputKind::Sacn, TOutputKind::ArtNet, TOutputKind::Ola};

// Settings that cannot all work turn every output off.
TOutputSettings AsRun(const TOutputSettings& settings) {
    TOutputSettings run = settings;
    if (!ValidateSettings(settings).empty()) {
        run.sacn.enabled = false;
        run.artnet.enabled = false;
        run.ola.enabled = false;
    }
    return run;
}

bool Enabled(TOutputKind kind, const TOutputSettings& s) {
    switch (kind) {
    case TOutputKind::Sacn:
        return s.sacn.enabled;
    case TOutputKind::ArtNet:
        return s.artnet.enabled;
    case TOutputKind::Ola:
        return s.ola.enabled;
    }
    return false;
}

// Whether an output on under both runs the same way under both.
bool SameRun(TOutputKind kind, const TOutputSettings& a, const TOutputSettings& b) {
    if (a.rate != b.rate) return false;
    switch (kind) {
    case TOutputKind::Sacn:
        return a.cid == b.cid && a.sacn.universe == b.sacn.universe &&
               a.sacn.address == b.sacn.address && a.sacn.priority == b.sacn.priority &&
               a.sacn.sourceName == b.sacn.sourceName;
    case TOutputKind::ArtNet:
        return a.artnet.net == b.artnet.net && a.artnet.subNet == b.artnet.subNet &&
               a.artnet.universe == b.artnet.universe && a.artnet.address == b.artnet.address &&
               a.artnet.listen == b.artnet.listen;
    case TOutputKind::Ola:
        return a.ola.universe == b.ola.universe && a.ola.port == b.ola.port;
    }
    return false;
}

std::unique_ptr<TOutput> MakeOutput(TOutputKind kind, const TOutputSettings& settings) {
    switch (kind) {
    case TOutputKind::Sacn: {
        TSacnConfig config;
        if (const auto cid = CidFromText(settings.cid)) config.cid = *cid;
        config.sourceName = settings.sacn.sourceName;
        config.priority = static_cast<std::uint8_t>(settings.sacn.priority);
        config.universe = static_cast<std::uint16_t>(settings.sacn.universe);
        // The universe's own group typed out is the same as leaving it empty.
        const auto address = ParseIpv4(settings.sacn.address);
        if (address && !address->IsMulticast()) config.unicast = address;
        return std::make_unique<TSacnOutput>(config);
    }
    case TOutputKind::ArtNet: {
        TArtNetConfig config;
        config.address = {settings.artnet.net, settings.artnet.subNet, settings.artnet.universe};
        config.destination = *ParseIpv4(settings.artnet.address);
        config.listen = settings.artnet.listen;
        return std::make_unique<TArtNetOutput>(config);
    }
    case TOutputKind::Ola: {
        TOlaConfig config;
        config.universe = static_cast<unsigned>(settings.ola.universe);
        config.port = static_cast<std::uint16_t>(settings.ola.port);
        return LoadOlaOutput(config);
    }
    }
    return nullptr;
}

} // namespace

std::vector<std::unique_ptr<TOutput>> MakeOutputs(const TOutputSettings& settings) {
    std::vector<std::unique_ptr<TOutput>> outputs;
    const TOutputSettings run = AsRun(settings);
    for (const TOutputKind kind : ALL_KINDS)
        if (Enabled(kind, run)) outputs.push_back(MakeOutput(kind, run));
    return outputs;
}

std::vector<TOutputKind> ChangedOutputs(const TOutputSettings& before,
                                        const TOutputSettings& after) {
    const TOutputSettings a = AsRun(before);
    const TOutputSettings b = AsRun(after);
    std::vector<TOutputKind> changed;
    for (const TOutputKind kind : ALL_KINDS) {
        const bool on = Enabled(kind, a);
        if (on != Enabled(kind, b) || (on && !SameRun(kind, a, b))) changed.push_back(kind);
    }
    return changed;
}

void TOutputSet::Apply(const TOutputSettings& settings) {
    const TOutputSettings next = AsRun(settings);
    const std::vector<TOutputKind> changed = ChangedOutputs(running_, next);
    running_ = next;
    TSchedulerOptions options;
    options.packetsPerSecond = next.rate;
    for (const TOutputKind kind : changed) {
        const auto at = std::find(kinds_.begin(), kinds_.end(), kind);
        if (at != kinds_.end()) {
            const auto index = at - kinds_.begin();
            // The old stream says goodbye before the new one starts.
            schedulers_[static_cast<std::size_t>(index)]->Stop();
            schedulers_.erase(schedulers_.begin() + index);
            kinds_.erase(at);
        }
        if (!Enabled(kind, next)) continue;
        // Where it belongs among the others, in the order of the kinds.
        const auto before =
            std::find_if(kinds_.begin(), kinds_.end(), [kind](TOutputKind k) { return k > kind; });
        const auto index = before - kinds_.begin();
        kinds_.insert(before, kind);
        auto scheduler = std::make_unique<TOutputScheduler>(MakeOutput(kind, next), options);
        scheduler->Start();
        schedulers_.insert(schedulers_.begin() + index, std::move(scheduler));
    }
}

void TOutputSet::StopAll() {
    for (auto& scheduler : schedulers_)
        scheduler->Stop();
    schedulers_.clear();
    kinds_.clear();
    running_ = AsRun(TOutputSettings{});
}

void TOutputSet::Post(TLevelSpan levels) {
    for (auto& scheduler : schedulers_)
        scheduler->Post(levels);
}

std::vector<TOutputStatus> TOutputSet::Statuses() const {
    std::vector<TOutputStatus> statuses;
    for (const auto& scheduler : schedulers_)
        statuses.push_back({scheduler->Name(), scheduler->State()});
    return statuses;
}
