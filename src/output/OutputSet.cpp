#include "output/OutputSet.h"

#include "output/ArtNetOutput.h"
#include "output/Cid.h"
#include "output/OlaModule.h"
#include "output/SacnOutput.h"

std::vector<std::unique_ptr<TOutput>> MakeOutputs(const TOutputSettings& settings) {
    std::vector<std::unique_ptr<TOutput>> outputs;
    if (!ValidateSettings(settings).empty()) return outputs;
    if (settings.sacn.enabled) {
        TSacnConfig config;
        if (const auto cid = CidFromText(settings.cid)) config.cid = *cid;
        config.sourceName = settings.sacn.sourceName;
        config.priority = static_cast<std::uint8_t>(settings.sacn.priority);
        config.universe = static_cast<std::uint16_t>(settings.sacn.universe);
        // The universe's own group typed out is the same as leaving it empty.
        const auto address = ParseIpv4(settings.sacn.address);
        if (address && !address->IsMulticast()) config.unicast = address;
        outputs.push_back(std::make_unique<TSacnOutput>(config));
    }
    if (settings.artnet.enabled) {
        TArtNetConfig config;
        config.address = {settings.artnet.net, settings.artnet.subNet, settings.artnet.universe};
        config.destination = *ParseIpv4(settings.artnet.address);
        config.listen = settings.artnet.listen;
        outputs.push_back(std::make_unique<TArtNetOutput>(config));
    }
    if (settings.ola.enabled) {
        TOlaConfig config;
        config.universe = static_cast<unsigned>(settings.ola.universe);
        config.port = static_cast<std::uint16_t>(settings.ola.port);
        outputs.push_back(LoadOlaOutput(config));
    }
    return outputs;
}

void TOutputSet::Apply(const TOutputSettings& settings) {
    StopAll();
    TSchedulerOptions options;
    options.packetsPerSecond = settings.rate;
    for (auto& output : MakeOutputs(settings)) {
        schedulers_.push_back(std::make_unique<TOutputScheduler>(std::move(output), options));
        schedulers_.back()->Start();
    }
}

void TOutputSet::StopAll() {
    for (auto& scheduler : schedulers_)
        scheduler->Stop();
    schedulers_.clear();
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
