// Reads a form description (object ... end, with property lines) into a
// FormTree. Every error is a forms::Exception whose message reads
// "<sourceName>:<line>: <what is wrong>".
#pragma once

#include <string_view>

#include "forms/reader/FormTree.h"

namespace forms::reader {

// Parses the whole text, which must hold exactly one root object. The limits
// in FormLexer.h apply; exceeding any of them is an error, never a crash.
ObjectNode ParseForm(std::string_view text, std::string_view sourceName);

}  // namespace forms::reader
