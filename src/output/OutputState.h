#pragma once
// What an output is doing, as the status indicator shows it.

#include <string>

enum class TOutputState { Off, Sending, NoNetwork, DaemonNotReachable, NotInstalled };

// The words the user reads for each state.
std::string OutputStateText(TOutputState state);
