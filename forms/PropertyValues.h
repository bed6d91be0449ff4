// Reading typed values out of the description's property values. Each throws
// Exception saying what it expected and what it found; the reader adds the
// line and the property.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "forms/Types.h"
#include "forms/reader/FormTree.h"

namespace forms {

int AsInt(const reader::Value& value);
// An integer from low to high; the range is named when it is not.
int AsInt(const reader::Value& value, int low, int high);
// A position or size: within kMinCoordinate..kMaxCoordinate.
int AsCoordinate(const reader::Value& value);
// A font height (negative: the character height): within kMaxFontPixels.
int AsFontHeight(const reader::Value& value);
double AsDouble(const reader::Value& value);
bool AsBool(const reader::Value& value);
TColor AsColor(const reader::Value& value);
std::string AsIdentifier(const reader::Value& value);
// The program's 8-bit text (code page 950).
std::string AsText(const reader::Value& value);
std::vector<std::string> AsTextList(const reader::Value& value);
// The index of the identifier among names.
int AsEnum(const reader::Value& value, std::initializer_list<const char*> names);
unsigned AsFontStyle(const reader::Value& value);
int AsCharset(const reader::Value& value);

// How a value reads in an error message.
std::string Describe(const reader::Value& value);

}  // namespace forms
