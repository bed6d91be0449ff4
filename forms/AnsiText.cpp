#include "forms/AnsiText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "forms/Exceptions.h"

namespace forms {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw Exception(std::string("text conversion from ") + from + " to " + to + " is not available");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; returns false at the first unconvertible
  // input, leaving in/inLeft there.
  bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[256];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      std::size_t rc = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  bool ascii = true;
  for (unsigned char c : ansi) ascii = ascii && c < 0x80;
  if (ascii) return std::string(ansi);

  Converter conv("UTF-8", kAnsiCodePage);
  std::string out;
  const char* in = ansi.data();
  std::size_t left = ansi.size();
  while (!conv.Run(in, left, out)) {
    out += "\xEF\xBF\xBD";  // U+FFFD for the byte that does not decode
    ++in;
    --left;
  }
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  bool ascii = true;
  for (char16_t c : text) ascii = ascii && c < 0x80;
  if (ascii) return std::string(text.begin(), text.end());

  Converter conv(kAnsiCodePage, "UTF-16LE");
  std::vector<char> bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  std::string out;
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  if (!conv.Run(in, left, out)) {
    std::size_t index = (bytes.size() - left) / 2;
    char code[16];
    std::snprintf(code, sizeof code, "#%u", static_cast<unsigned>(index < text.size() ? text[index] : 0));
    throw Exception(std::string("character ") + code + " has no code in code page 950");
  }
  return out;
}

}  // namespace forms
