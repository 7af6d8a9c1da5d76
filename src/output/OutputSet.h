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

enum class TOutputKind { Sacn, ArtNet, Ola };

// Builds the output for each enabled protocol; empty when none is.
std::vector<std::unique_ptr<TOutput>> MakeOutputs(const TOutputSettings& settings);

// The outputs that run differently under `after` than under `before` (turned
// on, turned off, or sending otherwise): only these are restarted, so a
// receiver never sees an untouched stream drop.
std::vector<TOutputKind> ChangedOutputs(const TOutputSettings& before,
                                        const TOutputSettings& after);

class TOutputSet {
public:
    TOutputSet() = default;
    ~TOutputSet() { StopAll(); }

    // Restarts only what `settings` change; an untouched output keeps its
    // stream, sequence and identity.
    void Apply(const TOutputSettings& settings);
    void StopAll();
    void Post(TLevelSpan levels);
    std::vector<TOutputStatus> Statuses() const;
    const std::vector<std::unique_ptr<TOutputScheduler>>& Schedulers() const { return schedulers_; }

private:
    // Kept in the order of TOutputKind, so the status corner lists them alike.
    std::vector<std::unique_ptr<TOutputScheduler>> schedulers_;
    std::vector<TOutputKind> kinds_;
    TOutputSettings running_; // what the running outputs were made from
};
