#include "forms/ClassRegistry.h"

#include <map>
#include <string>

#include "forms/Button.h"
#include "forms/Label.h"
#include "forms/Timer.h"

namespace forms {
namespace {

std::map<std::string, TComponentFactory, std::less<>>& Registry() {
  static std::map<std::string, TComponentFactory, std::less<>> registry = [] {
    std::map<std::string, TComponentFactory, std::less<>> standard;
    standard[TButton::ClassName] = [](TComponent* o) -> TComponent* { return new TButton(o); };
    standard[TLabel::ClassName] = [](TComponent* o) -> TComponent* { return new TLabel(o); };
    standard[TTimer::ClassName] = [](TComponent* o) -> TComponent* { return new TTimer(o); };
    return standard;
  }();
  return registry;
}

}  // namespace

void RegisterClass(std::string_view className, TComponentFactory factory) {
  Registry()[std::string(className)] = std::move(factory);
}

TComponent* CreateRegisteredClass(std::string_view className, TComponent* owner) {
  auto& registry = Registry();
  auto it = registry.find(className);
  return it == registry.end() ? nullptr : it->second(owner);
}

}  // namespace forms
