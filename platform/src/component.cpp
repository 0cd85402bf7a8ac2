#include "wordloom/platform/component.h"

#include <algorithm>
#include <map>
#include <string>

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/string_list.h"

namespace wordloom {

namespace {

bool IsIdentifier(const std::string& s) {
  if (s.empty()) return false;
  auto letter = [](unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  };
  if (!letter(static_cast<unsigned char>(s[0]))) return false;
  return std::all_of(s.begin() + 1, s.end(), [&](char c) {
    return letter(static_cast<unsigned char>(c)) || (c >= '0' && c <= '9');
  });
}

bool SameName(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

void EraseValue(std::vector<TComponent*>& list, TComponent* value) {
  list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  FComponentState.Include(csDestroying);
  // Tell every component that watches this one, and forget each other.
  std::vector<TComponent*> watchers;
  watchers.swap(FFreeNotifies);
  for (TComponent* c : watchers) {
    EraseValue(c->FFreeNotifies, this);
    c->Notification(this, opRemove);
  }
  // Destroy the owned components, the last inserted first; each removes itself.
  while (!FComponents.empty()) delete FComponents.back();
  // Leave the owner.
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& Value) {
  if (Value == FName) return;
  ValidateName(Value);
  FName = Value;
}

void TComponent::ValidateName(const std::string& Value) const {
  if (Value.empty()) return;
  if (!IsIdentifier(Value)) {
    throw EComponentError("\"" + Value + "\" is not a valid component name");
  }
  if (FOwner != nullptr) {
    TComponent* other = FOwner->FindComponent(Value);
    if (other != nullptr && other != this) {
      throw EComponentError("A component named " + Value + " already exists");
    }
  }
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) {
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  }
  return FComponents[static_cast<std::size_t>(Index)];
}

TComponent* TComponent::FindComponent(std::string_view Name) const {
  if (Name.empty()) return nullptr;
  for (TComponent* c : FComponents) {
    if (SameName(c->FName, Name)) return c;
  }
  return nullptr;
}

void TComponent::SetDesigning(bool Value) {
  if (Value) {
    FComponentState.Include(csDesigning);
  } else {
    FComponentState.Exclude(csDesigning);
  }
  for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
  }
  auto& theirs = AComponent->FFreeNotifies;
  if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  EraseValue(FFreeNotifies, AComponent);
  EraseValue(AComponent->FFreeNotifies, this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner == this) return;
  if (!AComponent->FName.empty()) {
    TComponent* other = FindComponent(AComponent->FName);
    if (other != nullptr) {
      throw EComponentError("A component named " + AComponent->FName + " already exists");
    }
  }
  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner != this) return;
  EraseValue(FComponents, AComponent);
  AComponent->FOwner = nullptr;
  // While this component is being destroyed its derived parts are gone: only
  // the base bookkeeping may run.
  if (!Destroying()) Notification(AComponent, opRemove);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>&) {}

void TComponent::BeginLoading() { FComponentState.Include(csLoading); }

void TComponent::EndLoading() {
  if (Loading()) Loaded();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove) EraseValue(FFreeNotifies, AComponent);
  NotifyOwnedComponents(AComponent, Operation);
}

void TComponent::NotifyOwnedComponents(TComponent* AComponent, TOperation Operation) {
  // A copy: a handler may destroy or move components.
  const std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) {
    if (c != AComponent) c->Notification(AComponent, Operation);
  }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TContainer::GetChildren(const std::function<void(TComponent*)>& Proc) {
  for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
}

namespace {

struct RegistryEntry {
  ComponentClass Class;
  std::string Page;
  unsigned long Order;
};

struct Registry {
  std::map<std::string, RegistryEntry, std::less<>> Entries;
  unsigned long NextOrder = 0;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

void RegisterOne(const std::string& page, const ComponentClass& c) {
  Registry& r = TheRegistry();
  r.Entries.insert_or_assign(c.Name, RegistryEntry{c, page, r.NextOrder++});
}

}  // namespace

void RegisterComponents(const std::string& Page, std::initializer_list<ComponentClass> Classes) {
  for (const ComponentClass& c : Classes) RegisterOne(Page, c);
}

void RegisterClasses(std::initializer_list<ComponentClass> Classes) {
  for (const ComponentClass& c : Classes) RegisterOne(std::string(), c);
}

const ComponentClass* FindComponentClass(std::string_view Name) {
  const Registry& r = TheRegistry();
  auto it = r.Entries.find(Name);
  return it == r.Entries.end() ? nullptr : &it->second.Class;
}

std::vector<std::string> PaletteClasses(std::string_view Page) {
  std::vector<const RegistryEntry*> on_page;
  for (const auto& [name, entry] : TheRegistry().Entries) {
    if (!entry.Page.empty() && entry.Page == Page) on_page.push_back(&entry);
  }
  std::sort(on_page.begin(), on_page.end(),
            [](const RegistryEntry* a, const RegistryEntry* b) { return a->Order < b->Order; });
  std::vector<std::string> names;
  for (const RegistryEntry* e : on_page) names.push_back(e->Class.Name);
  return names;
}

std::string PaletteOf(std::string_view ClassName) {
  const Registry& r = TheRegistry();
  auto it = r.Entries.find(ClassName);
  return it == r.Entries.end() ? std::string() : it->second.Page;
}

}  // namespace wordloom
