#include "forms/reader/FormLexer.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "forms/Exceptions.h"

namespace forms::reader {

namespace {

// How much of a long culprit a message shows before "...".
constexpr std::size_t kShownPieceLength = 40;

bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

std::string HexByte(char c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const auto byte = static_cast<unsigned char>(c);
  std::string out = "0x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
  return out;
}

std::string NonAsciiMessage(char c) {
  return "non-ASCII byte " + HexByte(c) + "; write such characters as #nnnn";
}

// The decimal order of magnitude of a float literal such as 0.00012E-5:
// enough to tell a number too large for a double from one too small.
long long DecimalOrder(std::string_view literal) {
  std::size_t i = 0;
  if (i < literal.size() && (literal[i] == '-' || literal[i] == '+')) ++i;
  long long integerDigits = 0;
  bool seenNonZero = false;
  for (; i < literal.size() && IsDigit(literal[i]); ++i) {
    if (literal[i] != '0') seenNonZero = true;
    if (seenNonZero) ++integerDigits;
  }
  long long leadingFractionZeros = 0;
  if (i < literal.size() && literal[i] == '.') {
    for (++i; i < literal.size() && IsDigit(literal[i]); ++i) {
      if (!seenNonZero) {
        if (literal[i] == '0') {
          ++leadingFractionZeros;
        } else {
          seenNonZero = true;
        }
      }
    }
  }
  long long exponent = 0;
  if (i < literal.size() && (literal[i] == 'e' || literal[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < literal.size() && (literal[i] == '-' || literal[i] == '+')) {
      negative = literal[i] == '-';
      ++i;
    }
    for (; i < literal.size() && IsDigit(literal[i]); ++i) {
      // Saturate: anything past a million is far outside a double anyway.
      if (exponent < 1000000) exponent = exponent * 10 + (literal[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return integerDigits > 0 ? exponent + integerDigits
                           : exponent - leadingFractionZeros;
}

}  // namespace

std::string QuoteForMessage(std::string_view piece) {
  if (piece.size() <= kShownPieceLength) return "'" + std::string(piece) + "'";
  return "'" + std::string(piece.substr(0, kShownPieceLength)) + "...'";
}

std::string DescribeToken(const Token& token) {
  switch (token.kind) {
    case TokenKind::EndOfInput:
      return "end of file";
    case TokenKind::Text:
      // The lexeme already carries its quotes: text 'abc'#13.
      if (token.lexeme.size() <= kShownPieceLength) {
        return "text " + std::string(token.lexeme);
      }
      return "text " + std::string(token.lexeme.substr(0, kShownPieceLength)) +
             "...";
    default:
      return QuoteForMessage(token.lexeme);
  }
}

FormLexer::FormLexer(std::string_view source, std::string_view sourceName)
    : source_(source), sourceName_(sourceName) {
  if (source_.size() > kMaxInputBytes) {
    // Name the line holding the first byte past the limit.
    int line = 1;
    for (std::size_t i = 0; i < kMaxInputBytes; ++i) {
      if (source_[i] == '\n' ||
          (source_[i] == '\r' && source_[i + 1] != '\n')) {
        ++line;
      }
    }
    Fail(line, "input is " + std::to_string(source_.size()) +
                   " bytes, more than the limit of " +
                   std::to_string(kMaxInputBytes) + " bytes (1 MiB)");
  }
}

void FormLexer::Fail(int line, std::string_view what) const {
  throw Exception(sourceName_ + ":" + std::to_string(line) + ": " +
                  std::string(what));
}

void FormLexer::SkipWhitespace() {
  while (pos_ < source_.size()) {
    const char c = source_[pos_];
    if (c == ' ' || c == '\t') {
      ++pos_;
    } else if (c == '\n') {
      ++pos_;
      ++line_;
    } else if (c == '\r') {
      // CR LF and a lone CR both end one line.
      ++pos_;
      if (pos_ < source_.size() && source_[pos_] == '\n') ++pos_;
      ++line_;
    } else {
      return;
    }
  }
}

Token FormLexer::Next() {
  SkipWhitespace();
  Token token;
  token.line = line_;
  if (pos_ >= source_.size()) {
    token.kind = TokenKind::EndOfInput;
    token.line = lastTokenLine_;
    return token;
  }
  lastTokenLine_ = line_;

  const std::size_t start = pos_;
  const char c = source_[pos_];
  const char next = pos_ + 1 < source_.size() ? source_[pos_ + 1] : '\0';
  auto symbol = [&](TokenKind kind) {
    token.kind = kind;
    token.lexeme = source_.substr(start, 1);
    ++pos_;
  };

  if (c == '\'' || c == '#') {
    LexText(token);
  } else if (IsDigit(c) || c == '$' ||
             ((c == '-' || c == '+') && (IsDigit(next) || next == '$'))) {
    LexNumber(token);
  } else if (IsNameStart(c)) {
    LexName(token);
  } else if (c == '=') {
    symbol(TokenKind::Equals);
  } else if (c == ':') {
    symbol(TokenKind::Colon);
  } else if (c == ',') {
    symbol(TokenKind::Comma);
  } else if (c == '+') {
    symbol(TokenKind::Plus);
  } else if (c == '[') {
    symbol(TokenKind::LeftBracket);
  } else if (c == ']') {
    symbol(TokenKind::RightBracket);
  } else if (c == '(') {
    symbol(TokenKind::LeftParen);
  } else if (c == ')') {
    symbol(TokenKind::RightParen);
  } else if (static_cast<unsigned char>(c) >= 0x80) {
    Fail(line_, NonAsciiMessage(c));
  } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
    Fail(line_, "unexpected control character " + HexByte(c));
  } else {
    Fail(line_, "unexpected character '" + std::string(1, c) + "'");
  }
  return token;
}

void FormLexer::AppendCodeUnit(Token& token, char16_t unit) {
  if (token.text.size() >= kMaxTextLength) {
    Fail(token.line, "text is longer than " + std::to_string(kMaxTextLength) +
                         " code units");
  }
  token.text.push_back(unit);
}

// A text is a run of adjacent segments: 'quoted' (with '' for a quote) and
// #nnnn character codes. Quoted segments end on their own line.
void FormLexer::LexText(Token& token) {
  token.kind = TokenKind::Text;
  const std::size_t start = pos_;
  while (pos_ < source_.size()) {
    const char c = source_[pos_];
    if (c == '#') {
      LexCharacterCode(token);
      continue;
    }
    if (c != '\'') break;
    const std::size_t segmentStart = pos_;
    ++pos_;
    for (;;) {
      if (pos_ >= source_.size() || source_[pos_] == '\n' ||
          source_[pos_] == '\r') {
        // Shown as written, opening quote included: unterminated text 'abc
        const std::string_view written =
            source_.substr(segmentStart, pos_ - segmentStart);
        std::string shown(written.substr(0, kShownPieceLength));
        if (written.size() > kShownPieceLength) shown += "...";
        Fail(line_,
             "unterminated text " + shown + " (missing closing quote)");
      }
      const char ch = source_[pos_];
      if (ch == '\'') {
        if (pos_ + 1 < source_.size() && source_[pos_ + 1] == '\'') {
          AppendCodeUnit(token, u'\'');
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      const auto byte = static_cast<unsigned char>(ch);
      if (byte >= 0x80) Fail(line_, NonAsciiMessage(ch));
      if ((byte < 0x20 && ch != '\t') || byte == 0x7F) {
        Fail(line_, "control character " + HexByte(ch) +
                        " inside a text; write it as #" +
                        std::to_string(byte));
      }
      AppendCodeUnit(token, static_cast<char16_t>(byte));
      ++pos_;
    }
  }
  token.lexeme = source_.substr(start, pos_ - start);
}

// #65 (decimal) or #$41 (hexadecimal): one UTF-16 code unit.
void FormLexer::LexCharacterCode(Token& token) {
  const std::size_t start = pos_;
  ++pos_;  // '#'
  const bool hex = pos_ < source_.size() && source_[pos_] == '$';
  if (hex) ++pos_;
  const std::size_t digitsStart = pos_;
  std::uint32_t value = 0;
  bool tooLarge = false;
  while (pos_ < source_.size() &&
         (hex ? IsHexDigit(source_[pos_]) : IsDigit(source_[pos_]))) {
    // Stop accumulating once past the range, so a long digit run cannot wrap.
    if (!tooLarge) {
      value = value * (hex ? 16u : 10u) +
              static_cast<std::uint32_t>(HexValue(source_[pos_]));
      tooLarge = value > 0xFFFF;
    }
    ++pos_;
  }
  const std::string_view written = source_.substr(start, pos_ - start);
  if (pos_ == digitsStart) {
    Fail(line_, "character code " + QuoteForMessage(written) +
                    " has no digits");
  }
  if (tooLarge) {
    std::string shown(written.substr(0, kShownPieceLength));
    if (written.size() > kShownPieceLength) shown += "...";
    Fail(line_, "character code " + shown + " is out of range (0..65535)");
  }
  AppendCodeUnit(token, static_cast<char16_t>(value));
}

void FormLexer::FailMalformedNumber(std::size_t start, int line) {
  while (pos_ < source_.size() &&
         (IsNameChar(source_[pos_]) || source_[pos_] == '.')) {
    ++pos_;
  }
  Fail(line, "malformed number " +
                 QuoteForMessage(source_.substr(start, pos_ - start)));
}

void FormLexer::LexNumber(Token& token) {
  const std::size_t start = pos_;
  bool negative = false;
  if (source_[pos_] == '-' || source_[pos_] == '+') {
    negative = source_[pos_] == '-';
    ++pos_;
  }
  const std::size_t digitsStart = pos_;
  std::uint64_t magnitude = 0;
  std::errc ec{};

  if (source_[pos_] == '$') {
    ++pos_;
    const std::size_t hexStart = pos_;
    while (pos_ < source_.size() && IsHexDigit(source_[pos_])) ++pos_;
    if (pos_ == hexStart ||
        (pos_ < source_.size() &&
         (IsNameChar(source_[pos_]) || source_[pos_] == '.'))) {
      FailMalformedNumber(start, token.line);
    }
    ec = std::from_chars(source_.data() + hexStart, source_.data() + pos_,
                         magnitude, 16)
             .ec;
  } else {
    while (pos_ < source_.size() && IsDigit(source_[pos_])) ++pos_;
    bool isFloat = false;
    if (pos_ < source_.size() && source_[pos_] == '.') {
      if (pos_ + 1 >= source_.size() || !IsDigit(source_[pos_ + 1])) {
        FailMalformedNumber(start, token.line);
      }
      ++pos_;
      while (pos_ < source_.size() && IsDigit(source_[pos_])) ++pos_;
      isFloat = true;
    }
    if (pos_ < source_.size() && (source_[pos_] == 'e' || source_[pos_] == 'E')) {
      std::size_t p = pos_ + 1;
      if (p < source_.size() && (source_[p] == '-' || source_[p] == '+')) ++p;
      if (p >= source_.size() || !IsDigit(source_[p])) {
        FailMalformedNumber(start, token.line);
      }
      pos_ = p;
      while (pos_ < source_.size() && IsDigit(source_[pos_])) ++pos_;
      isFloat = true;
    }
    if (pos_ < source_.size() &&
        (IsNameChar(source_[pos_]) || source_[pos_] == '.')) {
      FailMalformedNumber(start, token.line);
    }
    if (isFloat) {
      token.kind = TokenKind::Float;
      token.lexeme = source_.substr(start, pos_ - start);
      // from_chars reads '-' but not '+', and never depends on the locale.
      const char* first = source_.data() + (negative ? start : digitsStart);
      double value = 0.0;
      const auto result =
          std::from_chars(first, source_.data() + pos_, value,
                          std::chars_format::general);
      if (result.ec == std::errc::result_out_of_range) {
        if (DecimalOrder(token.lexeme) > 0) {
          Fail(token.line, "number " + QuoteForMessage(token.lexeme) +
                               " is out of range (it must be a finite "
                               "double)");
        }
        value = negative ? -0.0 : 0.0;  // too small to tell from zero
      } else if (result.ec != std::errc{} ||
                 result.ptr != source_.data() + pos_) {
        FailMalformedNumber(start, token.line);
      }
      token.real = value;
      return;
    }
    ec = std::from_chars(source_.data() + digitsStart, source_.data() + pos_,
                         magnitude, 10)
             .ec;
  }

  token.kind = TokenKind::Integer;
  token.lexeme = source_.substr(start, pos_ - start);
  constexpr auto kMaxPositive =
      static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (ec != std::errc{} || magnitude > kMaxPositive + (negative ? 1u : 0u)) {
    Fail(token.line, "integer " + QuoteForMessage(token.lexeme) +
                         " is out of range (it must fit in 64 bits)");
  }
  if (!negative) {
    token.integer = static_cast<std::int64_t>(magnitude);
  } else if (magnitude == kMaxPositive + 1u) {
    token.integer = std::numeric_limits<std::int64_t>::min();
  } else {
    token.integer = -static_cast<std::int64_t>(magnitude);
  }
}

// A name, possibly dotted: Caption, Font.Style, BackWall.Brush.Color.
void FormLexer::LexName(Token& token) {
  token.kind = TokenKind::Name;
  const std::size_t start = pos_;
  for (;;) {
    while (pos_ < source_.size() && IsNameChar(source_[pos_])) ++pos_;
    if (pos_ < source_.size() && source_[pos_] == '.') {
      if (pos_ + 1 >= source_.size() || !IsNameStart(source_[pos_ + 1])) {
        ++pos_;
        Fail(token.line, "malformed name " +
                             QuoteForMessage(source_.substr(start, pos_ - start)));
      }
      ++pos_;
      continue;
    }
    break;
  }
  token.lexeme = source_.substr(start, pos_ - start);
  if (token.lexeme.size() > kMaxNameLength) {
    Fail(token.line, "name " + QuoteForMessage(token.lexeme) +
                         " is longer than " + std::to_string(kMaxNameLength) +
                         " characters");
  }
}

}  // namespace forms::reader
