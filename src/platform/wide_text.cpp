#include "platform/wide_text.h"

#include <cstdint>

namespace {

static_assert(sizeof(wchar_t) >= 2, "a wchar_t holds at least one UTF-16 unit");

constexpr char32_t highSurrogateFirst = 0xD800;
constexpr char32_t lowSurrogateFirst = 0xDC00;
constexpr char32_t surrogateLast = 0xDFFF;

bool isHighSurrogate(char32_t value) {
    return value >= highSurrogateFirst && value < lowSurrogateFirst;
}

bool isLowSurrogate(char32_t value) {
    return value >= lowSurrogateFirst && value <= surrogateLast;
}

void appendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

struct Decoded {
    char32_t value;
    size_t length;  // 0: not a well-formed sequence
};

// One UTF-8 sequence at the start of text, with its shortest form enforced.
Decoded decodeOne(std::string_view text) {
    const auto lead = static_cast<uint8_t>(text[0]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return {0, 0};
    }
    if (text.size() < length) {
        return {0, 0};
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return {0, 0};
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF) {
        return {0, 0};
    }
    return {value, length};
}

}  // namespace

std::optional<std::wstring> wideFromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    bool lastWasHighSurrogate = false;
    while (!text.empty()) {
        const Decoded decoded = decodeOne(text);
        if (decoded.length == 0) {
            return std::nullopt;
        }
        text.remove_prefix(decoded.length);
        const char32_t value = decoded.value;
        if (lastWasHighSurrogate && isLowSurrogate(value)) {
            return std::nullopt;
        }
        lastWasHighSurrogate = isHighSurrogate(value);
        if (value >= 0x10000) {
            const char32_t offset = value - 0x10000;
            out.push_back(static_cast<wchar_t>(highSurrogateFirst + (offset >> 10)));
            out.push_back(static_cast<wchar_t>(lowSurrogateFirst + (offset & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(value));
        }
    }
    return out;
}

std::string utf8FromWide(std::wstring_view units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const auto unit = static_cast<char32_t>(units[i] & 0xFFFF);
        if (isHighSurrogate(unit) && i + 1 < units.size()) {
            const auto next = static_cast<char32_t>(units[i + 1] & 0xFFFF);
            if (isLowSurrogate(next)) {
                appendUtf8(out, 0x10000 + ((unit - highSurrogateFirst) << 10) +
                                    (next - lowSurrogateFirst));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}
