// Tests of the form description reader: what good files turn into, what
// broken files are told, and that the limits hold against hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "forms/Exceptions.h"
#include "forms/reader/FormParser.h"

namespace forms::reader {

// Readable values in failure output.
void PrintTo(const Identifier& value, std::ostream* os) {
  *os << "Identifier{" << value.name << "}";
}
void PrintTo(const IdentifierSet& value, std::ostream* os) {
  *os << "IdentifierSet{";
  for (const auto& name : value.names) *os << name << ";";
  *os << "}";
}
void PrintTo(const StringList& value, std::ostream* os) {
  *os << "StringList{" << value.items.size() << " items:";
  for (const auto& item : value.items) {
    *os << " ";
    testing::internal::UniversalPrint(item, os);
  }
  *os << "}";
}

namespace {

constexpr const char* kSource = "Unit1.form";

std::optional<ObjectNode> ParseOrReport(const std::string& source) {
  try {
    return ParseForm(source, kSource);
  } catch (const Exception& e) {
    ADD_FAILURE() << "unexpected error: " << e.Message();
    return std::nullopt;
  }
}

// The message of the error the source raises, or "" if it parses.
std::string ErrorOf(const std::string& source) {
  try {
    ParseForm(source, kSource);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

// Checks the message names the file and the exact line, and says what.
void ExpectError(const std::string& source, int line,
                 const std::string& fragment) {
  const std::string message = ErrorOf(source);
  const std::string prefix =
      std::string(kSource) + ":" + std::to_string(line) + ": ";
  EXPECT_EQ(message.substr(0, prefix.size()), prefix) << message;
  EXPECT_NE(message.find(fragment), std::string::npos)
      << "message: " << message << "\nwanted: " << fragment;
}

// Name:Class@line(prop@line ... child ...): the shape of a tree with the
// line of every object and property.
std::string Outline(const ObjectNode& node) {
  std::string out = node.name + ":" + node.className + "@" +
                    std::to_string(node.line) + "(";
  bool first = true;
  auto separate = [&] {
    if (!first) out += " ";
    first = false;
  };
  for (const auto& property : node.properties) {
    separate();
    out += property.name + "@" + std::to_string(property.line);
  }
  for (const auto& child : node.children) {
    separate();
    out += Outline(child);
  }
  return out + ")";
}

// ---------------------------------------------------------------------------
// Good sources: the tree they describe.

struct ShapeCase {
  const char* what;
  std::string source;
  std::string outline;
};

TEST(FormParserShapes, ObjectsPropertiesAndLines) {
  const ShapeCase cases[] = {
      {"the main window",
       "object Form1: TForm1\n"
       "  Left = 56\n"
       "  Caption = 'Qel Tchart'\n"
       "  Font.Height = -11\n"
       "  Font.Style = []\n"
       "  OnCreate = FormCreate\n"
       "  object Button1: TButton\n"
       "    Caption = #28204#35430#37749\n"
       "    TabOrder = 0\n"
       "  end\n"
       "  object Chart1: TChart\n"
       "    BackWall.Brush.Style = bsClear\n"
       "    Title.Text.Strings = (\n"
       "      '~'#39023#31034#22294#34920'~')\n"
       "    object Series1: TLineSeries\n"
       "      XValues.Multiplier = 1.000000000000000000\n"
       "    end\n"
       "  end\n"
       "end\n",
       "Form1:TForm1@1(Left@2 Caption@3 Font.Height@4 Font.Style@5 OnCreate@6 "
       "Button1:TButton@7(Caption@8 TabOrder@9) "
       "Chart1:TChart@11(BackWall.Brush.Style@12 Title.Text.Strings@13 "
       "Series1:TLineSeries@15(XValues.Multiplier@16)))"},
      {"properties after a closed child belong to the enclosing object",
       "object A: TA\n"
       "  object B: TB\n"
       "    object C: TC\n"
       "    end\n"
       "    X = 1\n"
       "  end\n"
       "  Y = 2\n"
       "end\n",
       "A:TA@1(Y@7 B:TB@2(X@5 C:TC@3()))"},
      {"order is kept as written, not sorted",
       "object A: TA\n"
       "  Zeta = 1\n"
       "  Alpha = 2\n"
       "  object Z: TZ\n"
       "  end\n"
       "  object B: TB\n"
       "  end\n"
       "end\n",
       "A:TA@1(Zeta@2 Alpha@3 Z:TZ@4() B:TB@6())"},
      {"tokens split over lines and run together",
       "object\nA\n:\nTA X\n=\n1 Y=2 end", "A:TA@1(X@4 Y@6)"},
      {"keywords in any case",
       "OBJECT A: TA\n  Object B: TB\n  END\nEnd\n", "A:TA@1(B:TB@2())"},
      {"CR LF line ends",
       "object A: TA\r\n  X = 1\r\n  object B: TB\r\n  end\r\nend\r\n",
       "A:TA@1(X@2 B:TB@3())"},
      {"lone CR line ends",
       "object A: TA\r  X = 1\r  object B: TB\r  end\rend\r",
       "A:TA@1(X@2 B:TB@3())"},
      {"blank lines, tabs and a file without a final newline",
       "\n\n\tobject A: TA\n\n\t\tX = 1\nend", "A:TA@3(X@5)"},
      {"names with digits and underscores",
       "object Form_2: T_Form2\n  Series1_X.Axis2.Max_ = 1\nend\n",
       "Form_2:T_Form2@1(Series1_X.Axis2.Max_@2)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto root = ParseOrReport(c.source);
    if (root) {
      EXPECT_EQ(Outline(*root), c.outline);
    }
  }
}

TEST(FormParserShapes, MainWindowValues) {
  const auto root = ParseOrReport(
      "object Form1: TForm1\n"
      "  Caption = 'Qel Tchart'\n"
      "  Font.Height = -11\n"
      "  object Chart1: TChart\n"
      "    Title.Text.Strings = (\n"
      "      '~'#39023#31034#22294#34920'~')\n"
      "  end\n"
      "end\n");
  ASSERT_TRUE(root);
  ASSERT_EQ(root->properties.size(), 2u);
  EXPECT_EQ(root->properties[0].value, Value(std::u16string(u"Qel Tchart")));
  EXPECT_EQ(root->properties[1].value, Value(std::int64_t{-11}));
  ASSERT_EQ(root->children.size(), 1u);
  ASSERT_EQ(root->children[0].properties.size(), 1u);
  EXPECT_EQ(root->children[0].properties[0].value,
            Value(StringList{{u"~顯示圖表~"}}));
}

struct ValueCase {
  const char* what;
  std::string written;  // what follows "P = "
  Value expected;
};

TEST(FormParserValues, EachKindOfValue) {
  const ValueCase cases[] = {
      // Texts.
      {"quoted", "'Qel Tchart'", std::u16string(u"Qel Tchart")},
      {"empty quoted", "''", std::u16string()},
      {"doubled quote inside", "'it''s'", std::u16string(u"it's")},
      {"only a doubled quote", "''''", std::u16string(u"'")},
      {"character codes", "#28204#35430#37749", std::u16string(u"測試鍵")},
      {"codes and quoted mixed", "'~'#39023#31034#22294#34920'~'",
       std::u16string(u"~顯示圖表~")},
      {"code between quoted parts", "'a'#39'b'", std::u16string(u"a'b")},
      {"hexadecimal code", "#$41'b'", std::u16string(u"Ab")},
      {"code zero is kept", "'a'#0'b'", std::u16string(u"a\0b", 3)},
      {"highest code", "#65535", std::u16string(1, char16_t{0xFFFF})},
      {"surrogate pair passes through", "#55357#56832",
       std::u16string(u"\U0001F600")},
      {"tab inside quotes", "'a\tb'", std::u16string(u"a\tb")},
      {"continued with +", "'abc' +\n    'def'", std::u16string(u"abcdef")},
      {"continued twice, with codes", "'a' +\n  #66 +\n  'c'#68",
       std::u16string(u"aBcD")},
      // Integers.
      {"zero", "0", std::int64_t{0}},
      {"negative", "-11", std::int64_t{-11}},
      {"explicit plus", "+7", std::int64_t{7}},
      {"hexadecimal", "$00FF8000", std::int64_t{0xFF8000}},
      {"negative hexadecimal", "-$10", std::int64_t{-16}},
      {"largest", "9223372036854775807", std::int64_t{INT64_MAX}},
      {"smallest", "-9223372036854775808", std::int64_t{INT64_MIN}},
      {"largest hexadecimal", "$7FFFFFFFFFFFFFFF", std::int64_t{INT64_MAX}},
      // Floats.
      {"float with many zeros", "1.000000000000000000", 1.0},
      {"negative float", "-2.5", -2.5},
      {"float with plus", "+0.25", 0.25},
      {"exponent", "1.5E3", 1500.0},
      {"negative exponent", "2.5e-3", 2.5e-3},
      {"exponent without point", "4e2", 400.0},
      {"too small for a double reads as zero", "1.0E-400", 0.0},
      // Identifiers.
      {"boolean", "True", Identifier{"True"}},
      {"color", "clRed", Identifier{"clRed"}},
      {"with underscores", "DEFAULT_CHARSET", Identifier{"DEFAULT_CHARSET"}},
      {"dotted reference", "Form2.Table1", Identifier{"Form2.Table1"}},
      // Sets.
      {"empty set", "[]", IdentifierSet{}},
      {"one member", "[fsBold]", IdentifierSet{{"fsBold"}}},
      {"members in order", "[fsItalic, fsBold]",
       IdentifierSet{{"fsItalic", "fsBold"}}},
      {"set over lines", "[ akLeft ,akTop,\n   akRight ]",
       IdentifierSet{{"akLeft", "akTop", "akRight"}}},
      // Lists.
      {"empty list", "()", StringList{}},
      {"list over lines", "(\n    'a'\n    'b')", StringList{{u"a", u"b"}}},
      {"spaces separate items, adjacency joins", "('x' #13 'y'#13'z')",
       StringList{{u"x", u"\r", u"y\rz"}}},
      {"item continued with +", "(\n  'ab' +\n  'cd'\n  'e')",
       StringList{{u"abcd", u"e"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.what) + ": P = " + c.written);
    const auto root = ParseOrReport("object F: TF\n  P = " + c.written +
                                    "\n  Q = 1\nend\n");
    if (!root) continue;
    ASSERT_EQ(root->properties.size(), 2u);
    EXPECT_EQ(root->properties[0].name, "P");
    EXPECT_EQ(root->properties[0].line, 2);
    EXPECT_EQ(root->properties[0].value, c.expected);
    // The value ends where it should: the next property is intact.
    EXPECT_EQ(root->properties[1].name, "Q");
  }
}

// ---------------------------------------------------------------------------
// Broken sources: the line and what the message says.

struct BrokenCase {
  const char* what;
  std::string source;
  int line;
  std::string fragment;
};

// Wraps property lines in a root object: its first property is on line 2.
std::string InForm(const std::string& body) {
  return "object F: TF\n" + body + "\nend\n";
}

TEST(FormParserErrors, LineAndMessage) {
  const BrokenCase cases[] = {
      // Structure.
      {"empty input", "", 1, "the input is empty; expected 'object'"},
      {"only whitespace", "\n  \n\t\n", 1, "the input is empty"},
      {"not starting with object", "Caption = 'x'\n", 1,
       "expected 'object', found 'Caption'"},
      {"missing colon", "object Form1 TForm1\nend\n", 1,
       "expected ':' after object name 'Form1', found 'TForm1'"},
      {"class name not a name", "object Form1: 'TForm1'\nend\n", 1,
       "expected a class name after 'Form1:', found text 'TForm1'"},
      {"keyword as object name", "object end: TForm1\nend\n", 1,
       "expected an object name after 'object', found 'end'"},
      {"missing '='", InForm("  Caption Qel"), 2,
       "expected '=' after 'Caption', found 'Qel'"},
      {"stray comma among properties", InForm("  X = 1\n  ,"), 3,
       "expected a property, 'object' or 'end' in object 'F', found ','"},
      {"missing end of a child",
       "object Form1: TForm1\n"
       "  object Button1: TButton\n"
       "  end\n"
       "  object Chart1: TChart\n"
       "    Left = 1\n"
       "\n",
       5, "missing 'end' for object 'Chart1' (opened at line 4)"},
      {"missing end of the root", "object F: TF\n  Left = 1\n", 2,
       "missing 'end' for object 'F' (opened at line 1)"},
      {"second root", "object F: TF\nend\nobject G: TG\nend\n", 3,
       "trailing content after the final 'end': 'object'"},
      {"one end too many", "object F: TF\nend\nend\n", 3,
       "trailing content after the final 'end': 'end'"},
      {"inherited root", "inherited Form1: TForm1\nend\n", 1,
       "'inherited' objects are not supported"},
      {"inline child", InForm("  inline Frame1: TFrame1\n  end"), 2,
       "'inline' objects are not supported"},
      {"end of file after '='", "object F: TF\n  Caption =", 2,
       "expected a value for 'Caption', found end of file"},
      {"keyword where the value should be", InForm("  Caption ="), 3,
       "expected a value for 'Caption', found 'end'"},
      // Texts.
      {"character code too large", InForm("  Caption = #70000"), 2,
       "character code #70000 is out of range (0..65535)"},
      {"character code that would wrap 32 bits", InForm("  Caption = #4294967361"),
       2, "character code #4294967361 is out of range (0..65535)"},
      {"hexadecimal character code too large", InForm("  Caption = 'a'#$10000"),
       2, "character code #$10000 is out of range"},
      {"character code without digits", InForm("  Caption = 'a'#x"), 2,
       "character code '#' has no digits"},
      {"unterminated text", InForm("  Caption = 'abc\n  Left = 1"), 2,
       "unterminated text 'abc (missing closing quote)"},
      {"doubled quote does not close", InForm("  Caption = 'it''s"), 2,
       "unterminated text 'it''s (missing closing quote)"},
      {"unterminated at end of file", "object F: TF\n  Caption = 'abc", 2,
       "unterminated text 'abc"},
      {"non-ASCII inside a text", InForm("  Caption = '\xE6\xB8\xAC'"), 2,
       "non-ASCII byte 0xE6; write such characters as #nnnn"},
      {"non-ASCII in a name", InForm("  Capti\xC3\xB3n = 1"), 2,
       "non-ASCII byte 0xC3"},
      {"control character inside a text", InForm("  Caption = 'a\x07z'"), 2,
       "control character 0x07 inside a text; write it as #7"},
      {"'+' not followed by a text", InForm("  Caption = 'a' +\n  Left = 1"),
       3, "expected a text after '+', found 'Left'"},
      // Numbers.
      {"integer above int64", InForm("  Tag = 9223372036854775808"), 2,
       "integer '9223372036854775808' is out of range (it must fit in 64 "
       "bits)"},
      {"integer below int64", InForm("  Tag = -9223372036854775809"), 2,
       "integer '-9223372036854775809' is out of range"},
      {"hexadecimal above int64", InForm("  Tag = $8000000000000000"), 2,
       "integer '$8000000000000000' is out of range"},
      {"float too large", InForm("  X = -1.0E999"), 2,
       "number '-1.0E999' is out of range (it must be a finite double)"},
      {"letters after digits", InForm("  Left = 12px"), 2,
       "malformed number '12px'"},
      {"point without digits", InForm("  X = 1."), 2, "malformed number '1.'"},
      {"exponent without digits", InForm("  X = 1.5e"), 2,
       "malformed number '1.5e'"},
      {"sign apart from the digits", InForm("  Left = - 5"), 2,
       "unexpected character '-'"},
      // Sets and lists.
      {"number in a set", InForm("  Font.Style = [1]"), 2,
       "expected a name in the set for 'Font.Style', found '1'"},
      {"missing comma in a set", InForm("  Anchors = [akLeft akTop]"), 2,
       "expected ',' or ']' in the set for 'Anchors', found 'akTop'"},
      {"trailing comma in a set", InForm("  Anchors = [akLeft,]"), 2,
       "expected a name in the set for 'Anchors', found ']'"},
      {"end of file in a set", "object F: TF\n  Font.Style = [fsBold,\n", 2,
       "expected a name in the set for 'Font.Style', found end of file"},
      {"name in a list", InForm("  Items.Strings = ('a' b)"), 2,
       "expected a text or ')' in the list for 'Items.Strings', found 'b'"},
      {"end of file in a list",
       "object F: TF\n  Lines.Strings = (\n    'a'\n", 3,
       "expected a text or ')' in the list for 'Lines.Strings', found end of "
       "file"},
      // Characters.
      {"dot ending a name", InForm("  Font. = 1"), 2, "malformed name 'Font.'"},
      {"two dots in a name", InForm("  Font..Height = 1"), 2,
       "malformed name 'Font.'"},
      {"unexpected character", InForm("  Left = @5"), 2,
       "unexpected character '@'"},
      {"control character", InForm("  Left = 1\x01"), 2,
       "unexpected control character 0x01"},
      // Line counting.
      {"CR LF lines", "object F: TF\r\n  Left = 1\r\n  Top 2\r\nend\r\n", 3,
       "expected '=' after 'Top', found '2'"},
      {"lone CR lines", "object F: TF\r  Left = 1\r  Top 2\rend\r", 3,
       "expected '=' after 'Top', found '2'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectError(c.source, c.line, c.fragment);
  }
}

TEST(FormParserErrors, LongCulpritIsCutShort) {
  const std::string message =
      ErrorOf(InForm("  Caption " + std::string(200, 'x') + " = 1"));
  EXPECT_NE(message.find("found 'xxxx"), std::string::npos) << message;
  EXPECT_LT(message.size(), 120u) << message;
}

// ---------------------------------------------------------------------------
// Limits: the largest allowed passes, one more is a clear error at its line.

std::string Nested(int depth) {
  std::string source;
  for (int i = 1; i <= depth; ++i) {
    source += "object O" + std::to_string(i) + ": T\n";
  }
  for (int i = 1; i <= depth; ++i) source += "end\n";
  return source;
}

TEST(FormParserLimits, NestingDepthIs32) {
  const auto root = ParseOrReport(Nested(32));
  ASSERT_TRUE(root);
  const ObjectNode* node = &*root;
  while (!node->children.empty()) node = &node->children.front();
  EXPECT_EQ(node->name, "O32");
  EXPECT_EQ(node->line, 32);

  ExpectError(Nested(33), 33, "object 'O33' is nested deeper than 32 levels");
}

TEST(FormParserLimits, TextLengthIs65536CodeUnits) {
  const std::string full(65536, 'a');
  const auto root = ParseOrReport(InForm("  Caption = '" + full + "'"));
  ASSERT_TRUE(root);
  EXPECT_EQ(std::get<std::u16string>(root->properties[0].value).size(), 65536u);

  // Code units are counted, not bytes: each '' is one unit.
  std::string quotes;
  for (int i = 0; i < 65536; ++i) quotes += "''";
  const auto quoted = ParseOrReport(InForm("  Caption = '" + quotes + "'"));
  ASSERT_TRUE(quoted);
  EXPECT_EQ(std::get<std::u16string>(quoted->properties[0].value),
            std::u16string(65536, u'\''));

  const char* tooLong = "text is longer than 65536 code units";
  ExpectError(InForm("  Caption = '" + full + "a'"), 2, tooLong);
  ExpectError(InForm("  Caption = '" + full + "'#66"), 2, tooLong);
  ExpectError(InForm("  Caption = '" + std::string(40000, 'a') + "' +\n  '" +
                     std::string(25537, 'b') + "'"),
              3, tooLong);
  ExpectError(InForm("  Lines.Strings = (\n  'x'\n  '" + full + "' +\n  'y')"),
              5, tooLong);
}

// A set or list of n items, one per line from line 3 on.
std::string SetOf(int n) {
  std::string body = "  S = [\n";
  for (int i = 0; i < n; ++i) {
    body += "    m" + std::to_string(i) + (i + 1 < n ? ",\n" : "\n");
  }
  return InForm(body + "  ]");
}
std::string ListOf(int n) {
  std::string body = "  L = (\n";
  for (int i = 0; i < n; ++i) body += "    '" + std::to_string(i) + "'\n";
  return InForm(body + "  )");
}

TEST(FormParserLimits, SetsAndListsHoldUpTo4096Items) {
  const auto set = ParseOrReport(SetOf(4096));
  ASSERT_TRUE(set);
  const auto& names = std::get<IdentifierSet>(set->properties[0].value).names;
  ASSERT_EQ(names.size(), 4096u);
  EXPECT_EQ(names.back(), "m4095");

  const auto list = ParseOrReport(ListOf(4096));
  ASSERT_TRUE(list);
  const auto& items = std::get<StringList>(list->properties[0].value).items;
  ASSERT_EQ(items.size(), 4096u);
  EXPECT_EQ(items.back(), u"4095");

  // Item 4097 is on line 3 + 4096.
  ExpectError(SetOf(4097), 4099, "the set for 'S' has more than 4096 items");
  ExpectError(ListOf(4097), 4099, "the list for 'L' has more than 4096 items");
}

TEST(FormParserLimits, InputIsAtMostOneMebibyte) {
  const std::string head = "object F: TF\n";
  const std::string tail = "end";
  const std::size_t limit = 1024 * 1024;

  const auto root = ParseOrReport(
      head + std::string(limit - head.size() - tail.size(), ' ') + tail);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->name, "F");

  // Padded with newlines, so the byte past the limit ('d' of the last
  // "end") is on a line of its own number.
  const std::string tooLarge =
      head + std::string(limit + 1 - head.size() - tail.size(), '\n') + tail;
  const int lastLine =
      1 + static_cast<int>(std::count(tooLarge.begin(), tooLarge.end(), '\n'));
  ExpectError(tooLarge, lastLine, "more than the limit of 1048576 bytes");
}

TEST(FormParserLimits, NamesAreAtMost256Characters) {
  const std::string longest = "P" + std::string(255, 'x');
  const auto root = ParseOrReport(InForm("  " + longest + " = 1"));
  ASSERT_TRUE(root);
  EXPECT_EQ(root->properties[0].name, longest);

  const char* tooLong = "is longer than 256 characters";
  ExpectError(InForm("  " + longest + "x = 1"), 2, tooLong);
  // A dotted name counts as a whole.
  ExpectError(InForm("  Font." + std::string(252, 'x') + " = 1"), 2, tooLong);
  ExpectError("object " + longest + "x: TF\nend\n", 1, tooLong);
  ExpectError(InForm("  Color = " + longest + "x"), 2, tooLong);
}

// A megabyte of one thing: each ends in a clear error, with no crash, hang
// or runaway allocation along the way.
TEST(FormParserLimits, HostileInputsFailCleanly) {
  const std::size_t size = 1024 * 1024 - 64;
  const BrokenCase cases[] = {
      {"objects opened, never closed", [&] {
         std::string s;
         while (s.size() < size) s += "object O: T\n";
         return s;
       }(),
       33, "nested deeper than 32 levels"},
      {"brackets", InForm("  S = " + std::string(size, '[')), 2,
       "expected a name in the set for 'S', found '['"},
      {"parentheses", InForm("  L = " + std::string(size, '(')), 2,
       "expected a text or ')' in the list for 'L', found '('"},
      {"quotes", InForm("  T = " + std::string(size, '\'')), 2,
       "text is longer than 65536 code units"},
      {"character codes", [&] {
         std::string s = "object F: TF\n  T = ";
         while (s.size() < size) s += "#1";
         return s;
       }(),
       2, "text is longer than 65536 code units"},
      {"digits", InForm("  N = " + std::string(size, '9')), 2,
       "is out of range (it must fit in 64 bits)"},
      {"float digits", InForm("  N = 0." + std::string(size, '0') + "1"), 2,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.fragment.empty()) {
      // Long but legal: a tiny float reads as zero.
      const auto root = ParseOrReport(c.source);
      ASSERT_TRUE(root);
      EXPECT_EQ(root->properties[0].value, Value(0.0));
    } else {
      ExpectError(c.source, c.line, c.fragment);
    }
  }
}

}  // namespace
}  // namespace forms::reader
