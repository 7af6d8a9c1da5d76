// Any pattern with any number: the engine must neither crash nor read or
// write out of bounds, and its results stay within sane sizes.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "slider/ValueFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double)) return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const QString pattern = QString::fromLatin1(reinterpret_cast<const char*>(data) + sizeof value,
                                                static_cast<qsizetype>(size - sizeof value));
    const QString d = FormatFloat(pattern, value);
    const QString f = FormatFloat(pattern, static_cast<float>(value));
    const QString sample = SampleTextOf(pattern);
    // At most the pattern's own text, a sign, the digits of the largest
    // double (309) with grouping, a point and the pattern's decimals.
    const qsizetype bound = 2 * pattern.size() + 450;
    if (d.size() > bound || f.size() > bound || sample.size() > pattern.size()) std::abort();
    return 0;
}
