// The parsed form description: a tree of objects with their property lines,
// before any component exists. The builder turns it into components.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace forms::reader {

// A bare name such as True, clRed or Button1Click.
struct Identifier {
  std::string name;
  bool operator==(const Identifier&) const = default;
};

// A set such as [] or [fsBold, fsItalic].
struct IdentifierSet {
  std::vector<std::string> names;
  bool operator==(const IdentifierSet&) const = default;
};

// A list of strings such as ( 'a' 'b' ).
struct StringList {
  std::vector<std::u16string> items;
  bool operator==(const StringList&) const = default;
};

// Texts are kept as UTF-16 code units, exactly as written with '...' and #nnnn.
using Value = std::variant<std::int64_t, double, std::u16string, Identifier,
                           IdentifierSet, StringList>;

struct PropertyNode {
  std::string name;  // dotted path, e.g. "BackWall.Brush.Color"
  Value value;
  int line = 0;
};

struct ObjectNode {
  std::string name;       // e.g. "Button1"
  std::string className;  // e.g. "TButton"
  int line = 0;
  std::vector<PropertyNode> properties;  // in the order written
  std::vector<ObjectNode> children;      // in the order written
};

}  // namespace forms::reader
