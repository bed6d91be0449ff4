// Component classes the reader can create by name without a form field of
// that class (the form's own fields name the rest).
#pragma once

#include <functional>
#include <string_view>

namespace forms {

class TComponent;

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

void RegisterClass(std::string_view className, TComponentFactory factory);
// Null when no class of that name is registered.
TComponent* CreateRegisteredClass(std::string_view className, TComponent* owner);

template <class C>
void RegisterClass() {
  RegisterClass(C::ClassName, [](TComponent* owner) -> TComponent* { return new C(owner); });
}

}  // namespace forms
