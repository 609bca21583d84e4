#include "Component.h"

#include <algorithm>

namespace quell::gui {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
  destroying_ = true;
  // Tell everything that asked; each drops its reference to this one.
  while (!freeNotifies_.empty()) {
    TComponent* listener = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = listener->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    listener->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Free(TComponent* component) {
  if (!component || component->destroying_) return;
  component->BeforeDestruction();
  delete component;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (c->name_ == name) return c;
  }
  return nullptr;
}

void TComponent::FreeNotification(TComponent* listener) {
  if (!listener || listener == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), listener) == freeNotifies_.end()) {
    freeNotifies_.push_back(listener);
  }
  // Both sides know each other, so that whichever goes first unhooks itself.
  if (std::find(listener->freeNotifies_.begin(), listener->freeNotifies_.end(), this) ==
      listener->freeNotifies_.end()) {
    listener->freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* listener) {
  if (!listener) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), listener),
                      freeNotifies_.end());
  auto& back = listener->freeNotifies_;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::BeginLoading() {
  loading_ = true;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
  // A copy: a Loaded handler may create or free components.
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned) {
    if (std::find(components_.begin(), components_.end(), c) != components_.end()) c->EndLoading();
  }
  if (loading_) {
    loading_ = false;
    Loaded();
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove) {
    // A component that goes away no longer needs to be told about anything.
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                        freeNotifies_.end());
  }
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned) {
    if (c != component &&
        std::find(components_.begin(), components_.end(), c) != components_.end()) {
      c->Notification(component, operation);
    }
  }
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    if (c->destroying_) {
      // Already on its way out (freed from inside its own BeforeDestruction):
      // just forget it.
      components_.pop_back();
      c->owner_ = nullptr;
      continue;
    }
    Free(c);  // its destructor removes it from components_
  }
}

void TComponent::InsertComponent(TComponent* component) {
  if (loading_) component->loading_ = true;
  components_.push_back(component);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component),
                    components_.end());
  component->owner_ = nullptr;
  Notification(component, TOperation::opRemove);
}

}  // namespace quell::gui
