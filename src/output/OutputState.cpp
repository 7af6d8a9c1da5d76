#include "output/OutputState.h"

std::string OutputStateText(TOutputState state) {
    switch (state) {
    case TOutputState::Off:
        return "off";
    case TOutputState::Sending:
        return "sending";
    case TOutputState::NoNetwork:
        return "no network";
    case TOutputState::DaemonNotReachable:
        return "daemon not reachable";
    case TOutputState::NotInstalled:
        return "not installed";
    }
    return "off";
}
