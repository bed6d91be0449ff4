#include "forms/PropertyValues.h"

#include <cmath>
#include <limits>
#include <utility>

#include "forms/AnsiText.h"
#include "forms/Exceptions.h"

namespace forms {
namespace {

struct NamedValue {
  const char* name;
  long long value;
};

constexpr NamedValue kColors[] = {
    {"clBlack", 0x000000},   {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080},   {"clNavy", 0x800000},   {"clPurple", 0x800080},
    {"clTeal", 0x808000},    {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},     {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},    {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},   {"clBtnFace", clBtnFace}, {"clWindowText", clWindowText},
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2},
    {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255},
};

[[noreturn]] void Expected(const char* what, const reader::Value& value) {
  throw Exception(std::string("expected ") + what + ", found " + Describe(value));
}

const std::string* Ident(const reader::Value& value) {
  auto* id = std::get_if<reader::Identifier>(&value);
  return id ? &id->name : nullptr;
}

}  // namespace

std::string Describe(const reader::Value& value) {
  struct Visitor {
    std::string operator()(std::int64_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return std::to_string(v); }
    std::string operator()(const std::u16string& v) const {
      std::string ascii;
      for (char16_t c : v) ascii += c < 0x80 ? static_cast<char>(c) : '?';
      return "'" + ascii + "'";
    }
    std::string operator()(const reader::Identifier& v) const { return "'" + v.name + "'"; }
    std::string operator()(const reader::IdentifierSet&) const { return "a set"; }
    std::string operator()(const reader::StringList&) const { return "a list of texts"; }
  };
  return std::visit(Visitor{}, value);
}

int AsInt(const reader::Value& value) {
  return AsInt(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

int AsInt(const reader::Value& value, int low, int high) {
  auto* v = std::get_if<std::int64_t>(&value);
  if (!v) Expected("an integer", value);
  if (*v < low || *v > high)
    throw Exception("integer " + std::to_string(*v) + " is out of range (" + std::to_string(low) + ".." +
                    std::to_string(high) + ")");
  return static_cast<int>(*v);
}

int AsCoordinate(const reader::Value& value) { return AsInt(value, kMinCoordinate, kMaxCoordinate); }

int AsFontHeight(const reader::Value& value) { return AsInt(value, -kMaxFontPixels, kMaxFontPixels); }

double AsDouble(const reader::Value& value) {
  if (auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (auto* d = std::get_if<double>(&value)) return *d;
  Expected("a number", value);
}

bool AsBool(const reader::Value& value) {
  if (const std::string* id = Ident(value)) {
    if (*id == "True") return true;
    if (*id == "False") return false;
  }
  Expected("True or False", value);
}

TColor AsColor(const reader::Value& value) {
  if (auto* i = std::get_if<std::int64_t>(&value)) {
    if (*i < 0 || *i > 0xFFFFFFFFll) throw Exception("colour " + std::to_string(*i) + " is out of range");
    return static_cast<TColor>(*i);
  }
  if (const std::string* id = Ident(value))
    for (const auto& c : kColors)
      if (*id == c.name) return static_cast<TColor>(c.value);
  Expected("a colour", value);
}

std::string AsIdentifier(const reader::Value& value) {
  if (const std::string* id = Ident(value)) return *id;
  Expected("a name", value);
}

std::string AsText(const reader::Value& value) {
  auto* text = std::get_if<std::u16string>(&value);
  if (!text) Expected("a text", value);
  return Utf16ToAnsi(*text);
}

std::vector<std::string> AsTextList(const reader::Value& value) {
  auto* list = std::get_if<reader::StringList>(&value);
  if (!list) Expected("a list of texts", value);
  std::vector<std::string> out;
  for (const auto& item : list->items) out.push_back(Utf16ToAnsi(item));
  return out;
}

int AsEnum(const reader::Value& value, std::initializer_list<const char*> names) {
  if (const std::string* id = Ident(value)) {
    int index = 0;
    for (const char* name : names) {
      if (*id == name) return index;
      ++index;
    }
  }
  std::string expected = "one of";
  for (const char* name : names) expected += std::string(" ") + name;
  Expected(expected.c_str(), value);
}

unsigned AsFontStyle(const reader::Value& value) {
  auto* set = std::get_if<reader::IdentifierSet>(&value);
  if (!set) Expected("a set of font styles", value);
  unsigned style = 0;
  for (const auto& name : set->names) {
    reader::Value one = reader::Identifier{name};
    style |= 1u << AsEnum(one, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
  }
  return style;
}

int AsCharset(const reader::Value& value) {
  if (std::get_if<std::int64_t>(&value)) return AsInt(value);
  if (const std::string* id = Ident(value))
    for (const auto& c : kCharsets)
      if (*id == c.name) return static_cast<int>(c.value);
  Expected("a character set", value);
}

}  // namespace forms
