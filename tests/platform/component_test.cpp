#include "wordloom/platform/component.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "wordloom/platform/exceptions.h"

namespace wordloom {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::ThrowsMessage;
using ::testing::UnorderedElementsAre;

std::uintptr_t Id(const TComponent* c) { return reinterpret_cast<std::uintptr_t>(c); }

// A component that records the names of destroyed probes into a shared list and
// keeps the notifications and Loaded calls it receives.
class TProbe : public TComponent {
 public:
  WORDLOOM_OBJECT(TProbe)

  explicit TProbe(TComponent* AOwner, std::vector<std::string>* Destroyed = nullptr)
      : TComponent(AOwner), FDestroyed(Destroyed) {}
  ~TProbe() override {
    if (FDestroyed) FDestroyed->push_back(Name());
  }

  // The components are kept as addresses, which stay comparable after a
  // component is gone.
  const std::vector<std::pair<std::uintptr_t, TOperation>>& Notes() const { return FNotes; }
  int LoadedCalls() const { return FLoadedCalls; }
  bool LoadingDuringLoaded() const { return FLoadingDuringLoaded; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    FNotes.emplace_back(Id(AComponent), Operation);
    TComponent::Notification(AComponent, Operation);
  }
  void Loaded() override {
    ++FLoadedCalls;
    FLoadingDuringLoaded = Loading();
    TComponent::Loaded();
  }

 private:
  std::vector<std::string>* FDestroyed;
  std::vector<std::pair<std::uintptr_t, TOperation>> FNotes;
  int FLoadedCalls = 0;
  bool FLoadingDuringLoaded = false;
};

TProbe* NewProbe(TComponent* owner, const std::string& name,
                 std::vector<std::string>* destroyed = nullptr) {
  auto* p = new TProbe(owner, destroyed);
  p->SetName(name);
  return p;
}

TEST(TComponentTest, OwnerDestroysWhatItOwnsOnce) {
  std::vector<std::string> destroyed;
  {
    TProbe root(nullptr, &destroyed);
    root.SetName("Root");
    TProbe* a = NewProbe(&root, "A", &destroyed);
    TProbe* b = NewProbe(&root, "B", &destroyed);
    TProbe* c = NewProbe(a, "C", &destroyed);  // owned by an owned component
    NewProbe(&root, "D", &destroyed);
    EXPECT_EQ(root.ComponentCount(), 3);
    EXPECT_EQ(root.Components(0), a);
    EXPECT_EQ(root.Components(1), b);
    EXPECT_EQ(a->Owner(), &root);
    EXPECT_EQ(c->Owner(), a);
    EXPECT_EQ(root.Owner(), nullptr);

    // Deleting an owned component takes it out of its owner's list.
    delete b;
    EXPECT_THAT(destroyed, ElementsAre("B"));
    ASSERT_EQ(root.ComponentCount(), 2);
    EXPECT_EQ(root.Components(0), a);
    EXPECT_EQ(root.Components(1)->Name(), "D");
  }
  EXPECT_EQ(destroyed.size(), 5u);
  EXPECT_THAT(destroyed, UnorderedElementsAre("B", "Root", "A", "C", "D"));
}

TEST(TComponentTest, RemoveAndInsertComponentTransferOwnership) {
  std::vector<std::string> destroyed;
  TProbe* part = nullptr;
  {
    TProbe first(nullptr);
    TProbe second(nullptr);
    {
      TProbe third(nullptr);
      part = NewProbe(&first, "Part", &destroyed);
      EXPECT_THAT(first.Notes(), Contains(Pair(Id(part), opInsert)));

      first.RemoveComponent(part);
      EXPECT_EQ(part->Owner(), nullptr);
      EXPECT_EQ(first.ComponentCount(), 0);
      EXPECT_EQ(first.FindComponent("Part"), nullptr);
      EXPECT_THAT(first.Notes(), Contains(Pair(Id(part), opRemove)));

      second.InsertComponent(part);
      EXPECT_EQ(part->Owner(), &second);
      EXPECT_EQ(second.FindComponent("part"), part);
      EXPECT_THAT(second.Notes(), Contains(Pair(Id(part), opInsert)));

      // Inserting takes the component from its current owner.
      third.InsertComponent(part);
      EXPECT_EQ(part->Owner(), &third);
      EXPECT_EQ(second.ComponentCount(), 0);
      EXPECT_EQ(third.ComponentCount(), 1);

      third.RemoveComponent(part);
      second.InsertComponent(part);
    }
    // third is gone and no longer owned part.
    EXPECT_THAT(destroyed, IsEmpty());
    EXPECT_EQ(part->Owner(), &second);

    // A name must stay unique under the new owner.
    TProbe* clash = NewProbe(&first, "PART", &destroyed);
    EXPECT_THAT([&] { second.InsertComponent(clash); },
                ThrowsMessage<EComponentError>(HasSubstr("PART")));
    EXPECT_EQ(clash->Owner(), &first);
    EXPECT_EQ(second.ComponentCount(), 1);
  }
  EXPECT_THAT(destroyed, UnorderedElementsAre("Part", "PART"));
}

TEST(TComponentTest, SetNameAcceptsIdentifiersOnly) {
  TComponent owner(nullptr);
  auto* c = new TComponent(&owner);
  const struct {
    const char* name;
    bool valid;
  } kCases[] = {
      {"Button1", true},   {"_x", true},     {"a_1_B", true},  {"Z", true},
      {"", true},          {"1abc", false},  {"a b", false},   {"a-b", false},
      {"a.b", false},      {" a", false},    {"caf\xE9", false}, {"\xC0", false},
      {"a\tb", false},     {"x$", false},
  };
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.name);
    c->SetName("Before");
    if (k.valid) {
      c->SetName(k.name);
      EXPECT_EQ(c->Name(), k.name);
    } else {
      EXPECT_THAT([&] { c->SetName(k.name); },
                  ThrowsMessage<EComponentError>(HasSubstr(k.name)));
      EXPECT_EQ(c->Name(), "Before");
    }
  }
}

TEST(TComponentTest, NamesAreUniqueUnderOneOwnerRegardlessOfCase) {
  TComponent owner(nullptr);
  TComponent other_owner(nullptr);
  auto* first = new TComponent(&owner);
  auto* second = new TComponent(&owner);
  auto* elsewhere = new TComponent(&other_owner);
  first->SetName("Button1");

  EXPECT_THAT([&] { second->SetName("BUTTON1"); },
              ThrowsMessage<EComponentError>(HasSubstr("BUTTON1")));
  EXPECT_EQ(second->Name(), "");
  EXPECT_THROW(second->SetName("Button1"), EComponentError);

  // The same name under another owner, a change of case of one's own name, and
  // any number of unnamed components are fine.
  elsewhere->SetName("Button1");
  first->SetName("BUTTON1");
  EXPECT_EQ(first->Name(), "BUTTON1");
  auto* unnamed = new TComponent(&owner);
  EXPECT_EQ(unnamed->Name(), "");
  second->SetName("Button2");
  second->SetName("");
  EXPECT_EQ(second->Name(), "");

  // Once renamed, the old name is free again.
  first->SetName("Renamed");
  second->SetName("Button1");
  EXPECT_EQ(owner.FindComponent("button1"), second);

  // Unowned components need no unique names.
  TComponent loose1(nullptr);
  TComponent loose2(nullptr);
  loose1.SetName("Same");
  loose2.SetName("Same");
  EXPECT_EQ(loose2.Name(), "Same");
}

TEST(TComponentTest, FindComponentSearchesOwnedComponentsIgnoringCase) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Alpha");
  auto* b = new TComponent(&owner);
  b->SetName("beta_2");
  auto* grandchild = new TComponent(a);
  grandchild->SetName("Deep");
  new TComponent(&owner);  // unnamed

  EXPECT_EQ(owner.FindComponent("Alpha"), a);
  EXPECT_EQ(owner.FindComponent("ALPHA"), a);
  EXPECT_EQ(owner.FindComponent("Beta_2"), b);
  EXPECT_EQ(owner.FindComponent("Gamma"), nullptr);
  EXPECT_EQ(owner.FindComponent("Alph"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);  // the unnamed one is not found by ""
  EXPECT_EQ(owner.FindComponent("Deep"), nullptr);  // only direct components
  EXPECT_EQ(a->FindComponent("deep"), grandchild);
}

TEST(TComponentTest, FreeNotificationTellsTheWatcherAndForgetsTheDeadOne) {
  TProbe watcher(nullptr);
  auto* watched = new TProbe(nullptr);
  const std::uintptr_t watched_id = Id(watched);
  watcher.FreeNotification(watched);
  delete watched;
  EXPECT_THAT(watcher.Notes(), ElementsAre(Pair(watched_id, opRemove)));
  // watcher's destructor must not tell the deleted component anything.
}

TEST(TComponentTest, FreeNotificationWorksInBothDirections) {
  TProbe watched(nullptr);
  auto* watcher = new TProbe(nullptr);
  const std::uintptr_t watcher_id = Id(watcher);
  watcher->FreeNotification(&watched);
  delete watcher;  // the watcher dies first: the watched one is told ...
  EXPECT_THAT(watched.Notes(), ElementsAre(Pair(watcher_id, opRemove)));
  // ... and must not call the dead watcher when it dies later.
}

TEST(TComponentTest, FreeNotificationCoversComponentsDestroyedByTheirOwner) {
  TProbe watcher(nullptr);
  auto* second_watcher = new TProbe(nullptr);
  std::uintptr_t part_id = 0;
  {
    TComponent owner(nullptr);
    auto* part = new TComponent(&owner);
    part_id = Id(part);
    watcher.FreeNotification(part);
    second_watcher->FreeNotification(part);
    delete second_watcher;  // one of two watchers leaves early
  }
  EXPECT_THAT(watcher.Notes(), ElementsAre(Pair(part_id, opRemove)));
}

TEST(TComponentTest, RemoveFreeNotificationStopsBothDirections) {
  TProbe a(nullptr);
  auto* b = new TProbe(nullptr);
  a.FreeNotification(b);
  a.RemoveFreeNotification(b);
  delete b;
  EXPECT_THAT(a.Notes(), IsEmpty());

  auto* c = new TProbe(nullptr);
  {
    TProbe d(nullptr);
    d.FreeNotification(c);
    d.RemoveFreeNotification(c);
  }
  EXPECT_THAT(c->Notes(), IsEmpty());
  delete c;
}

TEST(TComponentTest, SetDesigningReachesEveryOwnedComponent) {
  TComponent root(nullptr);
  auto* child = new TComponent(&root);
  auto* grandchild = new TComponent(child);
  EXPECT_FALSE(root.Designing());

  root.SetDesigning(true);
  EXPECT_TRUE(root.Designing());
  EXPECT_TRUE(child->Designing());
  EXPECT_TRUE(grandchild->Designing());
  EXPECT_TRUE(grandchild->ComponentState().Contains(csDesigning));
  EXPECT_FALSE(grandchild->Loading());

  child->SetDesigning(false);
  EXPECT_TRUE(root.Designing());
  EXPECT_FALSE(child->Designing());
  EXPECT_FALSE(grandchild->Designing());
}

TEST(TComponentTest, EndLoadingRunsLoadedWhichClearsTheFlag) {
  TProbe c(nullptr);
  EXPECT_FALSE(c.Loading());
  c.BeginLoading();
  EXPECT_TRUE(c.Loading());
  EXPECT_TRUE(c.ComponentState().Contains(csLoading));
  EXPECT_EQ(c.LoadedCalls(), 0);
  c.EndLoading();
  EXPECT_EQ(c.LoadedCalls(), 1);
  EXPECT_TRUE(c.LoadingDuringLoaded());
  EXPECT_FALSE(c.Loading());
}

class TRegAlpha : public TComponent {
 public:
  WORDLOOM_OBJECT(TRegAlpha)
  using TComponent::TComponent;
};
class TRegBeta : public TComponent {
 public:
  WORDLOOM_OBJECT(TRegBeta)
  using TComponent::TComponent;
};
class TRegGamma : public TComponent {
 public:
  WORDLOOM_OBJECT(TRegGamma)
  using TComponent::TComponent;
};

TEST(TComponentTest, RegistryKnowsClassesAndTheirPalettePages) {
  RegisterComponents("Test", {ComponentClass::Of<TRegAlpha>(), ComponentClass::Of<TRegBeta>()});
  RegisterClasses({ComponentClass::Of<TRegGamma>()});

  const ComponentClass* alpha = FindComponentClass("TRegAlpha");
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ(alpha->Name, "TRegAlpha");
  TComponent owner(nullptr);
  TComponent* made = alpha->Create(&owner);
  EXPECT_STREQ(made->ClassName(), "TRegAlpha");
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_EQ(owner.ComponentCount(), 1);

  const ComponentClass* gamma = FindComponentClass("TRegGamma");
  ASSERT_NE(gamma, nullptr);
  std::unique_ptr<TComponent> loose(gamma->Create(nullptr));
  EXPECT_STREQ(loose->ClassName(), "TRegGamma");

  EXPECT_EQ(FindComponentClass("TRegDelta"), nullptr);
  EXPECT_THAT(PaletteClasses("Test"), ElementsAre("TRegAlpha", "TRegBeta"));
  EXPECT_THAT(PaletteClasses("No such page"), IsEmpty());
  EXPECT_EQ(PaletteOf("TRegAlpha"), "Test");
  EXPECT_EQ(PaletteOf("TRegGamma"), "");
  EXPECT_EQ(PaletteOf("TRegDelta"), "");

  // Registering again moves the class to the new page.
  RegisterComponents("Other", {ComponentClass::Of<TRegAlpha>()});
  EXPECT_THAT(PaletteClasses("Test"), ElementsAre("TRegBeta"));
  EXPECT_THAT(PaletteClasses("Other"), ElementsAre("TRegAlpha"));
  EXPECT_EQ(PaletteOf("TRegAlpha"), "Other");
  ASSERT_NE(FindComponentClass("TRegAlpha"), nullptr);
}

}  // namespace
}  // namespace wordloom
