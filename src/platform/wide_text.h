#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between the UTF-8 the demo keeps its paths and messages in and
// the UTF-16 of Windows' wide-character calls. Written without the Windows
// API so that both builds compile (and the tests check) the same code.
//
// Windows file names are any sequence of 16-bit units, unpaired surrogates
// included. Those are carried through UTF-8 the way WTF-8 does, as the
// three-byte form of their value, so a name read from the system converts back
// to the same units.

// The UTF-16 form of text; nullopt when text is not well-formed UTF-8 (an
// overlong or truncated sequence, a stray continuation byte, a value above
// U+10FFFF). A surrogate pair written as two three-byte forms is refused too:
// it can only come from a mistake, and would not convert back the same.
std::optional<std::wstring> wideFromUtf8(std::string_view text);

// The UTF-8 form of UTF-16 units, unpaired surrogates written as above.
std::string utf8FromWide(std::wstring_view units);
