#include "forms/Resources.h"

#include <map>
#include <string>

namespace forms {
namespace {

std::map<std::string, std::string_view, std::less<>>& Table() {
  static std::map<std::string, std::string_view, std::less<>> table;
  return table;
}

}  // namespace

void RegisterResource(std::string_view name, std::string_view data) {
  Table()[std::string(name)] = data;
}

std::string_view FindResource(std::string_view name) {
  auto it = Table().find(name);
  return it == Table().end() ? std::string_view() : it->second;
}

}  // namespace forms
