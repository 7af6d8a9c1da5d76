#pragma once
// Texts joined at compile time, for constants made of other constants, such
// as a window title that carries the version:
//     inline constexpr auto& TITLE = core::JoinedText<"Vantrelle ", VANTRELLE_VERSION>;
// TITLE is then a `const char[N]` like a string literal, ending in '\0'.

#include <cstddef>

namespace core {

// A text as a template argument: a string literal or a constexpr char array.
template <std::size_t N>
struct TFixedText {
    char Chars[N]{};

    constexpr TFixedText() = default;
    constexpr TFixedText(const char (&text)[N]) {
        for (std::size_t i = 0; i < N; ++i)
            Chars[i] = text[i];
    }
    static constexpr std::size_t Length = N - 1; // without the closing '\0'
};

template <TFixedText... Parts>
inline constexpr auto JOINED_STORAGE = [] {
    TFixedText<(Parts.Length + ... + 0) + 1> joined;
    std::size_t at = 0;
    const auto append = [&](const auto& part) {
        for (std::size_t i = 0; i < part.Length; ++i)
            joined.Chars[at++] = part.Chars[i];
    };
    (append(Parts), ...);
    return joined;
}();

// The parts one after the other, as one `const char[N]`.
template <TFixedText... Parts>
inline constexpr const auto& JoinedText = JOINED_STORAGE<Parts...>.Chars;

} // namespace core
