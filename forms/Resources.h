// Data embedded in the program at build time (the form descriptions, the
// program icon), found by name as the program's resources.
#pragma once

#include <string_view>

namespace forms {

// Called by the generated resource tables as the program starts.
void RegisterResource(std::string_view name, std::string_view data);
// Empty when no resource has that name.
std::string_view FindResource(std::string_view name);

}  // namespace forms
