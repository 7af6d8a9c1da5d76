#pragma once
// The network outputs the settings turn on, each on its own scheduler. The
// window hands every frame to Post; nothing here touches the host link.

#include "output/OutputScheduler.h"
#include "output/OutputSettings.h"

#include <memory>
#include <string>
#include <vector>

struct TOutputStatus {
    std::string name;
    TOutputState state;
};

// Builds the output for each enabled protocol; empty when none is.
std::vector<std::unique_ptr<TOutput>> MakeOutputs(const TOutputSettings& settings);

class TOutputSet {
public:
    TOutputSet() = default;
    ~TOutputSet() { StopAll(); }

    // Stops what runs and starts what `settings` turn on.
    void Apply(const TOutputSettings& settings);
    void StopAll();
    void Post(TLevelSpan levels);
    std::vector<TOutputStatus> Statuses() const;
    const std::vector<std::unique_ptr<TOutputScheduler>>& Schedulers() const { return schedulers_; }

private:
    std::vector<std::unique_ptr<TOutputScheduler>> schedulers_;
};
