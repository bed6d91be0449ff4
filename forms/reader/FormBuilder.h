// Turns a parsed description into live components: each created by class
// name, its properties set by name, its handlers bound by method name.
#pragma once

#include <string_view>

namespace forms {
class TForm;
class TPublishedNames;
}

namespace forms::reader {

// Throws Exception "<source>:<line>: <what>" for anything it cannot build.
void BuildForm(TForm& form, std::string_view description, std::string_view sourceName,
               const TPublishedNames& names);

}  // namespace forms::reader
