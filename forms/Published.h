// The names a form class offers its description: component fields (which
// also tell the reader which classes it may create) and handler methods.
// Resolved once at load, so a misspelt name stops the load with a message
// instead of leaving a null to be called later.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "forms/Component.h"
#include "forms/Events.h"
#include "forms/Exceptions.h"

namespace forms {

class TForm;

using THandler = std::variant<std::monostate, TNotifyEvent, TCanResizeEvent>;

class TPublishedNames {
 public:
  virtual ~TPublishedNames() = default;
  virtual const std::string& FormClassName() const = 0;
  // A new component of that class if a field of the form has it, else null.
  virtual TComponent* CreateFieldClass(std::string_view className, TComponent* owner) const = 0;
  // Stores the component in the field of its name, if there is one; throws
  // if the field holds another class.
  virtual void BindField(TForm& form, TComponent& component) const = 0;
  // Names of fields still empty once the whole description is read.
  virtual std::vector<std::string> EmptyFields(const TForm& form) const = 0;
  virtual THandler FindMethod(TForm& form, std::string_view name) const = 0;
};

template <class F>
class TPublished final : public TPublishedNames {
 public:
  explicit TPublished(std::string formClassName) : className_(std::move(formClassName)) {}

  template <class C>
  TPublished& Field(std::string name, C* F::*member) {
    fields_.push_back({std::move(name), C::ClassName,
                       [](TComponent* owner) -> TComponent* { return new C(owner); },
                       [member](F& form, TComponent* c) {
                         C* typed = dynamic_cast<C*>(c);
                         if (c && !typed) return false;
                         form.*member = typed;
                         return true;
                       },
                       [member](const F& form) { return form.*member == nullptr; }});
    return *this;
  }
  TPublished& Method(std::string name, void (F::*method)(TObject*)) {
    methods_.push_back({std::move(name), [method](F& form) -> THandler {
                          return TNotifyEvent([&form, method](TObject* s) { (form.*method)(s); });
                        }});
    return *this;
  }
  TPublished& Method(std::string name, void (F::*method)(TObject*, int&, int&, bool&)) {
    methods_.push_back({std::move(name), [method](F& form) -> THandler {
                          return TCanResizeEvent([&form, method](TObject* s, int& w, int& h, bool& r) {
                            (form.*method)(s, w, h, r);
                          });
                        }});
    return *this;
  }

  const std::string& FormClassName() const override { return className_; }
  TComponent* CreateFieldClass(std::string_view className, TComponent* owner) const override {
    for (const auto& f : fields_)
      if (className == f.className) return f.create(owner);
    return nullptr;
  }
  void BindField(TForm& form, TComponent& component) const override {
    for (const auto& f : fields_)
      if (f.name == component.Name() && !f.bind(static_cast<F&>(form), &component))
        throw Exception("component '" + f.name + "' must be of class " + f.className);
  }
  std::vector<std::string> EmptyFields(const TForm& form) const override {
    std::vector<std::string> names;
    for (const auto& f : fields_)
      if (f.isEmpty(static_cast<const F&>(form))) names.push_back(f.name + " (" + f.className + ")");
    return names;
  }
  THandler FindMethod(TForm& form, std::string_view name) const override {
    for (const auto& m : methods_)
      if (m.name == name) return m.bind(static_cast<F&>(form));
    return {};
  }

 private:
  struct FieldEntry {
    std::string name;
    std::string className;
    std::function<TComponent*(TComponent*)> create;
    std::function<bool(F&, TComponent*)> bind;
    std::function<bool(const F&)> isEmpty;
  };
  struct MethodEntry {
    std::string name;
    std::function<THandler(F&)> bind;
  };
  std::string className_;
  std::vector<FieldEntry> fields_;
  std::vector<MethodEntry> methods_;
};

}  // namespace forms
