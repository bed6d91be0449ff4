#include "forms/reader/FormParser.h"

#include <utility>
#include <vector>

#include "forms/reader/FormLexer.h"

namespace forms::reader {

namespace {

bool EqualsKeyword(std::string_view name, std::string_view keyword) {
  if (name.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != keyword[i]) return false;
  }
  return true;
}

bool IsKeyword(const Token& token, std::string_view keyword) {
  return token.kind == TokenKind::Name && EqualsKeyword(token.lexeme, keyword);
}

bool IsAnyKeyword(const Token& token) {
  return IsKeyword(token, "object") || IsKeyword(token, "end") ||
         IsKeyword(token, "inherited") || IsKeyword(token, "inline");
}

bool IsPlainName(const Token& token) {
  return token.kind == TokenKind::Name &&
         token.lexeme.find('.') == std::string_view::npos && !IsAnyKeyword(token);
}

class Parser {
 public:
  Parser(std::string_view text, std::string_view sourceName)
      : lexer_(text, sourceName) {
    current_ = lexer_.Next();
  }

  // Objects are kept on an explicit stack rather than parsed recursively, so
  // the depth of the C++ stack does not depend on the file at all.
  ObjectNode Run() {
    if (current_.kind == TokenKind::EndOfInput) {
      Fail(current_, "the input is empty; expected 'object'");
    }
    std::vector<ObjectNode> open;
    open.push_back(ParseHeader());
    for (;;) {
      if (current_.kind == TokenKind::EndOfInput) {
        const ObjectNode& innermost = open.back();
        Fail(current_, "missing 'end' for object '" + innermost.name +
                           "' (opened at line " +
                           std::to_string(innermost.line) + ")");
      }
      if (IsKeyword(current_, "end")) {
        Take();
        ObjectNode done = std::move(open.back());
        open.pop_back();
        if (open.empty()) {
          if (current_.kind != TokenKind::EndOfInput) {
            Fail(current_, "trailing content after the final 'end': " +
                               DescribeToken(current_));
          }
          return done;
        }
        open.back().children.push_back(std::move(done));
      } else if (IsKeyword(current_, "object") ||
                 IsKeyword(current_, "inherited") ||
                 IsKeyword(current_, "inline")) {
        ObjectNode child = ParseHeader();
        if (open.size() >= kMaxNestingDepth) {
          lexer_.Fail(child.line, "object '" + child.name +
                                      "' is nested deeper than " +
                                      std::to_string(kMaxNestingDepth) +
                                      " levels");
        }
        open.push_back(std::move(child));
      } else if (current_.kind == TokenKind::Name) {
        open.back().properties.push_back(ParseProperty());
      } else {
        Fail(current_, "expected a property, 'object' or 'end' in object '" +
                           open.back().name + "', found " +
                           DescribeToken(current_));
      }
    }
  }

 private:
  [[noreturn]] void Fail(const Token& at, const std::string& what) const {
    lexer_.Fail(at.line, what);
  }

  Token Take() {
    Token taken = std::move(current_);
    current_ = lexer_.Next();
    return taken;
  }

  // object Name: TClass
  ObjectNode ParseHeader() {
    const Token keyword = Take();
    if (!IsKeyword(keyword, "object")) {
      if (IsKeyword(keyword, "inherited") || IsKeyword(keyword, "inline")) {
        Fail(keyword, "'" + std::string(keyword.lexeme) +
                          "' objects are not supported; write 'object'");
      }
      Fail(keyword, "expected 'object', found " + DescribeToken(keyword));
    }
    ObjectNode node;
    node.line = keyword.line;
    if (!IsPlainName(current_)) {
      Fail(current_, "expected an object name after 'object', found " +
                         DescribeToken(current_));
    }
    node.name = std::string(Take().lexeme);
    if (current_.kind != TokenKind::Colon) {
      Fail(current_, "expected ':' after object name '" + node.name +
                         "', found " + DescribeToken(current_));
    }
    Take();
    if (!IsPlainName(current_)) {
      Fail(current_, "expected a class name after '" + node.name +
                         ":', found " + DescribeToken(current_));
    }
    node.className = std::string(Take().lexeme);
    return node;
  }

  // Name = value
  PropertyNode ParseProperty() {
    const Token name = Take();
    PropertyNode property;
    property.name = std::string(name.lexeme);
    property.line = name.line;
    if (current_.kind != TokenKind::Equals) {
      Fail(current_, "expected '=' after '" + property.name + "', found " +
                         DescribeToken(current_));
    }
    Take();
    property.value = ParseValue(property.name);
    return property;
  }

  Value ParseValue(const std::string& propertyName) {
    switch (current_.kind) {
      case TokenKind::Integer:
        return Take().integer;
      case TokenKind::Float:
        return Take().real;
      case TokenKind::Text:
        return ParseText();
      case TokenKind::LeftBracket:
        return ParseSet(propertyName);
      case TokenKind::LeftParen:
        return ParseList(propertyName);
      case TokenKind::Name:
        if (!IsAnyKeyword(current_)) {
          return Identifier{std::string(Take().lexeme)};
        }
        break;
      default:
        break;
    }
    Fail(current_, "expected a value for '" + propertyName + "', found " +
                       DescribeToken(current_));
  }

  // 'abc' + 'def': a text continued with '+' onto the next line.
  std::u16string ParseText() {
    std::u16string text = Take().text;
    while (current_.kind == TokenKind::Plus) {
      Take();
      if (current_.kind != TokenKind::Text) {
        Fail(current_,
             "expected a text after '+', found " + DescribeToken(current_));
      }
      if (current_.text.size() > kMaxTextLength - text.size()) {
        Fail(current_, "text is longer than " +
                           std::to_string(kMaxTextLength) + " code units");
      }
      text += Take().text;
    }
    return text;
  }

  // [] or [fsBold, fsItalic]
  IdentifierSet ParseSet(const std::string& propertyName) {
    Take();  // '['
    IdentifierSet set;
    if (current_.kind == TokenKind::RightBracket) {
      Take();
      return set;
    }
    for (;;) {
      if (current_.kind != TokenKind::Name || IsAnyKeyword(current_)) {
        Fail(current_, "expected a name in the set for '" + propertyName +
                           "', found " + DescribeToken(current_));
      }
      if (set.names.size() >= kMaxItems) {
        Fail(current_, "the set for '" + propertyName + "' has more than " +
                           std::to_string(kMaxItems) + " items");
      }
      set.names.emplace_back(Take().lexeme);
      if (current_.kind == TokenKind::RightBracket) {
        Take();
        return set;
      }
      if (current_.kind != TokenKind::Comma) {
        Fail(current_, "expected ',' or ']' in the set for '" + propertyName +
                           "', found " + DescribeToken(current_));
      }
      Take();
    }
  }

  // ( 'a' 'b' ), across as many lines as it takes.
  StringList ParseList(const std::string& propertyName) {
    Take();  // '('
    StringList list;
    for (;;) {
      if (current_.kind == TokenKind::RightParen) {
        Take();
        return list;
      }
      if (current_.kind != TokenKind::Text) {
        Fail(current_, "expected a text or ')' in the list for '" +
                           propertyName + "', found " +
                           DescribeToken(current_));
      }
      if (list.items.size() >= kMaxItems) {
        Fail(current_, "the list for '" + propertyName + "' has more than " +
                           std::to_string(kMaxItems) + " items");
      }
      list.items.push_back(ParseText());
    }
  }

  FormLexer lexer_;
  Token current_;
};

}  // namespace

ObjectNode ParseForm(std::string_view text, std::string_view sourceName) {
  return Parser(text, sourceName).Run();
}

}  // namespace forms::reader
