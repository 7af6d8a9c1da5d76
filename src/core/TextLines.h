#pragma once
// The text files a person may edit (settings, profiles) are read a line at a
// time with line numbers, so that a refusal can say where it is.

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

class TTextLines {
public:
    explicit TTextLines(std::string_view text) : text_(text) {}

    // The next line without its end (a CR before the LF too); false at the end.
    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        ++number_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }
    // The line Next gave last, counted from 1.
    int Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

inline std::string LineError(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

// Control characters and DEL; a tab only where the caller does not allow it.
inline bool HasControlBytes(std::string_view text, bool tabAllowed = false) {
    for (const char c : text) {
        if (c == '\t' && tabAllowed) continue;
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

} // namespace core
