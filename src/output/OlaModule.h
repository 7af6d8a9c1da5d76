#pragma once
// The OLA output lives in a module of its own, loaded the first time an OLA
// output is made: its client library and what that pulls in cost every
// start of the desk several milliseconds, and most desks never use it.

#include <memory>
#include <string>
#include <vector>

#include "output/OlaConfig.h"
#include "output/Output.h"

// Raised when the module's entry points change; a module of another build
// is refused.
constexpr int OLA_MODULE_VERSION = 1;
// The module's file name and its entry points.
inline constexpr const char* OLA_MODULE_FILE = "vantrelle-ola.so";
inline constexpr const char* OLA_MODULE_VERSION_SYMBOL = "vantrelle_ola_module_version";
inline constexpr const char* OLA_MODULE_CREATE_SYMBOL = "vantrelle_ola_output_create";

// Where the module is looked for, in order: beside the program (a build
// tree), then in the program's library folder (an installed desk).
std::vector<std::string> OlaModulePaths();

// The OLA output, or when no usable module is found an output that stays
// "not installed" (the reason goes to standard error).
std::unique_ptr<TOutput> LoadOlaOutput(const TOlaConfig& config,
                                       const std::vector<std::string>& paths = OlaModulePaths());
