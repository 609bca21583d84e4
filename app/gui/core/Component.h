// Owned components. Every component has an owner (or none) that frees it;
// a component that refers to another one asks to be told when that one goes
// away (FreeNotification) and then drops the reference in Notification.
//
// Components live on the heap and are made with Create<T>(owner, ...), which
// also runs AfterConstruction (where a form fires OnCreate). They are freed by
// their owner or with Free(), which runs BeforeDestruction (OnDestroy of a
// form) while the whole object is still alive, and then deletes it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quell::gui {

enum class TOperation { Insert, Remove };

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(std::string name) { FName = std::move(name); }
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  std::size_t ComponentCount() const { return FComponents.size(); }
  TComponent* Components(std::size_t index) const { return FComponents.at(index); }
  TComponent* FindComponent(std::string_view name) const;

  // `listener` is told (Notification with TOperation::Remove) when this component is
  // being destroyed. Components owned by the same owner are always told.
  void FreeNotification(TComponent* listener);
  void RemoveFreeNotification(TComponent* listener);

  bool Loading() const { return FLoading; }
  bool Destroying() const { return FDestroying; }
  // Marks this component and everything it owns as being loaded (a form
  // setting up its components); EndLoading clears the mark and runs Loaded
  // on each component, owned ones first, in creation order.
  void BeginLoading();
  void EndLoading();

  // Frees the component the way its owner would. Null is ignored.
  static void Free(TComponent* component);

  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() { FDestroying = true; }

 protected:
  // `component` is being inserted into or removed from the owner, or a
  // component this one asked about is being destroyed. The default passes the
  // notice on to everything this component owns.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void Loaded() {}
  // Frees the owned components now, newest first (a derived destructor calls
  // this when its owned components must go while its own state still lives).
  void DestroyComponents();

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* FOwner;
  std::string FName;
  int FTag = 0;
  bool FLoading = false;
  bool FDestroying = false;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};

// Makes a component owned by `owner` (may be null) and runs its
// AfterConstruction; the owner frees it, or Free() does.
template <class T, class... Args>
T* Create(TComponent* owner, Args&&... args) {
  auto* component = new T(owner, std::forward<Args>(args)...);
  component->AfterConstruction();
  return component;
}

// For components held by a scope or a field rather than by an owner.
struct ComponentFree {
  void operator()(TComponent* component) const { TComponent::Free(component); }
};
template <class T>
using Owned = std::unique_ptr<T, ComponentFree>;

template <class T, class... Args>
Owned<T> CreateOwned(Args&&... args) {
  return Owned<T>(Create<T>(nullptr, std::forward<Args>(args)...));
}

}  // namespace quell::gui
