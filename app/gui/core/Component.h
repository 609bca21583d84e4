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

enum class TOperation { opInsert, opRemove };

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  std::size_t ComponentCount() const { return components_.size(); }
  TComponent* Components(std::size_t index) const { return components_.at(index); }
  TComponent* FindComponent(std::string_view name) const;

  // `listener` is told (Notification with opRemove) when this component is
  // being destroyed. Components owned by the same owner are always told.
  void FreeNotification(TComponent* listener);
  void RemoveFreeNotification(TComponent* listener);

  bool Loading() const { return loading_; }
  bool Destroying() const { return destroying_; }
  // Marks this component and everything it owns as being loaded (a form
  // setting up its components); EndLoading clears the mark and runs Loaded
  // on each component, owned ones first, in creation order.
  void BeginLoading();
  void EndLoading();

  // Frees the component the way its owner would. Null is ignored.
  static void Free(TComponent* component);

  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() { destroying_ = true; }

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

  TComponent* owner_;
  std::string name_;
  int tag_ = 0;
  bool loading_ = false;
  bool destroying_ = false;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
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
