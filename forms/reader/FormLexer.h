// Splits a form description into tokens, each with the line it starts on.
// The lexer pulls one token at a time, so memory stays proportional to the
// tree being built, never to the number of tokens in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace forms::reader {

// Hard limits on what a form description may contain. They keep a damaged
// or hostile file from exhausting the stack or memory, or from running long.
inline constexpr std::size_t kMaxInputBytes = 1024 * 1024;
inline constexpr std::size_t kMaxNestingDepth = 32;     // objects, root included
inline constexpr std::size_t kMaxTextLength = 65536;    // UTF-16 code units
inline constexpr std::size_t kMaxItems = 4096;          // in one set or list
inline constexpr std::size_t kMaxNameLength = 256;      // a whole dotted name

enum class TokenKind {
  EndOfInput,
  Name,     // Caption, Font.Height, clRed, object, end
  Integer,  // 12, -11, +3, $FF
  Float,    // 1.5, -2.0E3
  Text,     // 'Qel'#39'x' -- adjacent segments already joined
  Equals,
  Colon,
  Comma,
  Plus,  // text continuation; a sign glued to a number is part of the number
  LeftBracket,
  RightBracket,
  LeftParen,
  RightParen,
};

struct Token {
  TokenKind kind = TokenKind::EndOfInput;
  int line = 0;
  std::string_view lexeme;  // as written in the source
  std::int64_t integer = 0;
  double real = 0.0;
  std::u16string text;
};

// How a token is named in a message: 'Qel', text 'a'#13, end of file.
std::string DescribeToken(const Token& token);

// Quotes a piece of source for a message, cutting it short if it is long.
std::string QuoteForMessage(std::string_view piece);

class FormLexer {
 public:
  // Throws forms::Exception if the source is larger than kMaxInputBytes.
  FormLexer(std::string_view source, std::string_view sourceName);

  // The next token; EndOfInput (repeatedly) once the source is used up. The
  // end of input carries the line of the last token, which is where a reader
  // looks for whatever is missing.
  Token Next();

  // Throws forms::Exception "<source>:<line>: <what>".
  [[noreturn]] void Fail(int line, std::string_view what) const;

 private:
  void SkipWhitespace();
  void LexText(Token& token);
  void LexCharacterCode(Token& token);
  void LexNumber(Token& token);
  void LexName(Token& token);
  [[noreturn]] void FailMalformedNumber(std::size_t start, int line);
  void AppendCodeUnit(Token& token, char16_t unit);

  std::string_view source_;
  std::string sourceName_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int lastTokenLine_ = 1;
};

}  // namespace forms::reader
