#include "forms/reader/FormBuilder.h"

#include <string>

#include "forms/ClassRegistry.h"
#include "forms/Exceptions.h"
#include "forms/Form.h"
#include "forms/PropertyValues.h"
#include "forms/Published.h"
#include "forms/reader/FormParser.h"

namespace forms::reader {
namespace {

class Builder final : public TReadContext {
 public:
  Builder(TForm& form, std::string_view source, const TPublishedNames& names)
      : form_(form), source_(source), names_(names) {}

  void Build(const ObjectNode& root) {
    if (root.className != names_.FormClassName())
      Fail(root.line, "the description is of class '" + root.className + "', expected '" +
                          names_.FormClassName() + "'");
    form_.SetName(root.name);
    form_.BeginLoading();
    SetProperties(form_, root);
    for (const ObjectNode& child : root.children) BuildChild(form_, child);

    std::vector<std::string> missing = names_.EmptyFields(form_);
    if (!missing.empty()) {
      std::string list;
      for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
      Fail(root.line, "the description lacks " + list);
    }
    for (TComponent* c : created_) c->Loaded();
    form_.Loaded();
  }

  std::function<void(TObject*)> NotifyHandler(const Value& value) override {
    THandler handler = Find(value);
    if (auto* h = std::get_if<TNotifyEvent>(&handler)) return *h;
    throw Exception("handler '" + AsIdentifier(value) + "' takes other parameters");
  }

  std::function<void(TObject*, int&, int&, bool&)> CanResizeHandler(const Value& value) override {
    THandler handler = Find(value);
    if (auto* h = std::get_if<TCanResizeEvent>(&handler)) return *h;
    throw Exception("handler '" + AsIdentifier(value) + "' takes other parameters");
  }

 private:
  THandler Find(const Value& value) {
    std::string name = AsIdentifier(value);
    THandler handler = names_.FindMethod(form_, name);
    if (std::holds_alternative<std::monostate>(handler))
      throw Exception("unknown handler '" + name + "'");
    return handler;
  }

  void BuildChild(TComponent& parent, const ObjectNode& node) {
    if (form_.FindComponent(node.name))
      Fail(node.line, "a second component named '" + node.name + "'");
    TComponent* component = names_.CreateFieldClass(node.className, &form_);
    if (!component) component = CreateRegisteredClass(node.className, &form_);
    if (!component) Fail(node.line, "unknown class '" + node.className + "' of '" + node.name + "'");
    component->SetName(node.name);
    component->BeginLoading();
    created_.push_back(component);
    try {
      names_.BindField(form_, *component);
    } catch (const Exception& e) {
      Fail(node.line, e.Message());
    }
    if (!parent.AcceptChild(*component))
      Fail(node.line, "'" + node.name + "' (" + node.className + ") cannot be placed in '" +
                          parent.Name() + "'");
    SetProperties(*component, node);
    for (const ObjectNode& child : node.children) BuildChild(*component, child);
  }

  void SetProperties(TComponent& component, const ObjectNode& node) {
    for (const PropertyNode& p : node.properties) {
      bool known = false;
      try {
        known = component.SetProperty(p.name, p.value, *this);
      } catch (const Exception& e) {
        Fail(p.line, node.name + "." + p.name + ": " + e.Message());
      }
      if (!known) Fail(p.line, "unknown property '" + p.name + "' of " + node.className);
    }
  }

  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw Exception(std::string(source_) + ":" + std::to_string(line) + ": " + what);
  }

  TForm& form_;
  std::string_view source_;
  const TPublishedNames& names_;
  std::vector<TComponent*> created_;
};

}  // namespace

void BuildForm(TForm& form, std::string_view description, std::string_view sourceName,
               const TPublishedNames& names) {
  ObjectNode root = ParseForm(description, sourceName);
  Builder(form, sourceName, names).Build(root);
}

}  // namespace forms::reader
