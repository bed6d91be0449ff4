#include "forms/Component.h"

#include <algorithm>

namespace forms {

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  // Newest first, so a component never outlives what it was built on.
  while (!components_.empty()) {
    TComponent* child = components_.back();
    child->owner_ = nullptr;
    components_.pop_back();
    delete child;
  }
  if (owner_) owner_->Remove(this);
}

void TComponent::Remove(TComponent* child) {
  auto it = std::find(components_.begin(), components_.end(), child);
  if (it != components_.end()) components_.erase(it);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* c : components_)
    if (c->name_ == name) return c;
  return nullptr;
}

bool TComponent::SetProperty(std::string_view, const reader::Value&, TReadContext&) {
  return false;
}

bool TComponent::AcceptChild(TComponent&) { return false; }

}  // namespace forms
