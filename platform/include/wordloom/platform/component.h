// TComponent: a persistent object with an owner, a name and a state. An owner
// destroys what it owns; components asked for free notification hear when one
// of them is destroyed, so that they can drop their references to it.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/platform/enum_set.h"
#include "wordloom/platform/persistent.h"

namespace wordloom {

enum TOperation : std::uint8_t { opInsert, opRemove };

enum TComponentStateFlag : std::uint8_t {
  csLoading,     // a form file is being read into the component
  csDestroying,  // the destructor runs
  csDesigning,   // the component is being edited in a designer, not run
};
using TComponentState = EnumSet<TComponentStateFlag, 3>;

class TComponent : public TPersistent {
 public:
  WORDLOOM_OBJECT(TComponent)

  // A component with an owner belongs to it and must be created with `new`;
  // one without an owner belongs to whoever created it.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }

  // The name: empty, or an identifier (letter or '_' first, then letters, digits,
  // '_') unique among the owner's components regardless of ASCII case.
  // Raises EComponentError otherwise.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);

  // The components this one owns, in the order they were inserted.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  // The owned component named `Name` (ASCII case ignored), or nullptr.
  TComponent* FindComponent(std::string_view Name) const;

  TComponentState ComponentState() const { return FComponentState; }
  bool Designing() const { return FComponentState.Contains(csDesigning); }
  bool Loading() const { return FComponentState.Contains(csLoading); }
  bool Destroying() const { return FComponentState.Contains(csDestroying); }
  // Sets or clears the designing flag of this component and of all it owns.
  void SetDesigning(bool Value);

  // Asks that this component and AComponent each be told (Notification with
  // opRemove) when the other is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Takes ownership of AComponent from its current owner, if any.
  void InsertComponent(TComponent* AComponent);
  // Gives up ownership of AComponent, which then has no owner.
  void RemoveComponent(TComponent* AComponent);

  // The owned components that a form file stores inside this one. None by
  // default: most components create their parts themselves.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc);

  // Called by the form reader: the loading flag is set before the properties
  // are read and Loaded() runs once every component of the form is read.
  void BeginLoading();
  void EndLoading();
  // Clears the loading flag of a read that failed, without Loaded().
  void AbortLoading() { FComponentState.Exclude(csLoading); }

 protected:
  // Told when AComponent is inserted into or removed from this component or is
  // destroyed while this one asked for free notification. Overrides that keep
  // references clear them here and call the base.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Runs after a form file was read into the component; clears the loading flag.
  virtual void Loaded();

 private:
  void NotifyOwnedComponents(TComponent* AComponent, TOperation Operation);
  void ValidateName(const std::string& Value) const;

  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
};

// A component that stores the components it owns in its form file: the root of
// a form that holds several components.
class TContainer : public TComponent {
 public:
  WORDLOOM_OBJECT(TContainer)
  using TComponent::TComponent;
  void GetChildren(const std::function<void(TComponent*)>& Proc) override;
};

// A component class as the registry knows it: its name and how to create one.
struct ComponentClass {
  std::string Name;
  std::function<TComponent*(TComponent* AOwner)> Create;

  template <typename T>
  static ComponentClass Of() {
    return {T::StaticClassName(), [](TComponent* AOwner) -> TComponent* { return new T(AOwner); }};
  }
};

// Puts the classes on the palette page `Page`, in order. Registering a name
// again replaces the earlier entry (and moves it to the new page).
void RegisterComponents(const std::string& Page, std::initializer_list<ComponentClass> Classes);
// Makes classes known to the form reader without a palette page.
void RegisterClasses(std::initializer_list<ComponentClass> Classes);
// The registered class called `Name`, or nullptr.
const ComponentClass* FindComponentClass(std::string_view Name);
// The names of the classes on a palette page, in registration order.
std::vector<std::string> PaletteClasses(std::string_view Page);
// The palette page of a registered class; empty when it has none or is unknown.
std::string PaletteOf(std::string_view ClassName);

}  // namespace wordloom

#pragma GCC visibility pop
