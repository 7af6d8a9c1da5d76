// The entry points the desk looks up after loading this module.

#include <exception>

#include "output/OlaModule.h"
#include "output/ola/OlaOutput.h"

extern "C" {

__attribute__((visibility("default"))) int vantrelle_ola_module_version() {
    return OLA_MODULE_VERSION;
}

__attribute__((visibility("default"))) TOutput* vantrelle_ola_output_create(unsigned universe,
                                                                            std::uint16_t port) {
    TOlaConfig config;
    config.universe = universe;
    config.port = port;
    // Nothing may be thrown across this boundary.
    try {
        return new TOlaOutput(config);
    } catch (const std::exception&) {
        return nullptr;
    }
}
}
