// The program's 8-bit texts are in its ANSI code page, Traditional Chinese
// (950). The window system speaks UTF-8, the form description UTF-16; these
// convert at those two borders and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace forms {

inline constexpr const char* kAnsiCodePage = "CP950";

// Bytes that are not valid code page 950 become U+FFFD; nothing is dropped.
std::string AnsiToUtf8(std::string_view ansi);
// Throws Exception naming the first character code page 950 cannot hold.
std::string Utf16ToAnsi(std::u16string_view text);

}  // namespace forms
