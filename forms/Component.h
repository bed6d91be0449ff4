// The root of every component: a name, an owner that frees it, and the hooks
// the form reader uses to set properties by name.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/reader/FormTree.h"

namespace forms {

class TObject {
 public:
  virtual ~TObject() = default;
};

class TComponent;

// What a property setter may ask of the reader while the form is loading.
class TReadContext {
 public:
  virtual ~TReadContext() = default;
  // The form's handler of that name bound as a notify event; throws if none.
  virtual std::function<void(TObject*)> NotifyHandler(const reader::Value& value) = 0;
  virtual std::function<void(TObject*, int&, int&, bool&)> CanResizeHandler(
      const reader::Value& value) = 0;
};

class TComponent : public TObject {
 public:
  // Registers with the owner, which frees this component when it is freed.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  TComponent* FindComponent(std::string_view name) const;

  bool Loading() const { return loading_; }

  // Reader hooks. SetProperty returns false for a name the class does not
  // have; it throws for a value it cannot take.
  virtual bool SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx);
  // Places a component read nested inside this one's block; returns false if
  // this component cannot hold it.
  virtual bool AcceptChild(TComponent& child);
  // Whether the component lives inside another (a control on a form, a
  // series in a chart) rather than only being owned, as a timer is.
  virtual bool HasParent() const { return false; }
  void BeginLoading() { loading_ = true; }
  // Called once every component of the form has its properties.
  virtual void Loaded() { loading_ = false; }

 private:
  void Remove(TComponent* child);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  bool loading_ = false;
};

}  // namespace forms
