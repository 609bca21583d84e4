#include "Component.h"

#include <algorithm>

namespace quell::gui {

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner) FOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FDestroying = true;
  // Tell everything that asked; each drops its reference to this one.
  while (!FFreeNotifies.empty()) {
    TComponent* listener = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& back = listener->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    listener->Notification(this, TOperation::Remove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Free(TComponent* component) {
  if (!component || component->FDestroying) return;
  component->BeforeDestruction();
  delete component;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents) {
    if (c->FName == name) return c;
  }
  return nullptr;
}

void TComponent::FreeNotification(TComponent* listener) {
  if (!listener || listener == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), listener) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(listener);
  }
  // Both sides know each other, so that whichever goes first unhooks itself.
  if (std::find(listener->FFreeNotifies.begin(), listener->FFreeNotifies.end(), this) ==
      listener->FFreeNotifies.end()) {
    listener->FFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* listener) {
  if (!listener) return;
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), listener),
                      FFreeNotifies.end());
  auto& back = listener->FFreeNotifies;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::BeginLoading() {
  FLoading = true;
  for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::EndLoading() {
  // A copy: a Loaded handler may create or free components.
  const std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) {
    if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end()) c->EndLoading();
  }
  if (FLoading) {
    FLoading = false;
    Loaded();
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::Remove) {
    // A component that goes away no longer needs to be told about anything.
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component),
                        FFreeNotifies.end());
  }
  const std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) {
    if (c != component &&
        std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end()) {
      c->Notification(component, operation);
    }
  }
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    if (c->FDestroying) {
      // Already on its way out (freed from inside its own BeforeDestruction):
      // just forget it.
      FComponents.pop_back();
      c->FOwner = nullptr;
      continue;
    }
    Free(c);  // its destructor removes it from FComponents
  }
}

void TComponent::InsertComponent(TComponent* component) {
  if (FLoading) component->FLoading = true;
  FComponents.push_back(component);
  Notification(component, TOperation::Insert);
}

void TComponent::RemoveComponent(TComponent* component) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component),
                    FComponents.end());
  component->FOwner = nullptr;
  Notification(component, TOperation::Remove);
}

}  // namespace quell::gui
