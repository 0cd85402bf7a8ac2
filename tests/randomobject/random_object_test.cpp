#include "wordloom/randomobject/random_object.h"

#include "wordloom/platform/random.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace wordloom {
namespace {

using ::testing::ThrowsMessage;

// Runs the same checks on each of the three classes.
template <typename T>
class RandomHooksTest : public ::testing::Test {
 protected:
  static std::unique_ptr<T> Make() {
    if constexpr (std::is_constructible_v<T, TComponent*>) {
      return std::make_unique<T>(nullptr);
    } else {
      return std::make_unique<T>();
    }
  }
};
using Classes = ::testing::Types<TRandomObject, TRndPersistent, TRndComponent>;
TYPED_TEST_SUITE(RandomHooksTest, Classes);

TYPED_TEST(RandomHooksTest, DoErrorRaisesUnlessHandled) {
  auto obj = this->Make();
  EXPECT_THAT([&] { obj->DoError(ErrorClass::Of<EListError>(), "x"); },
              ThrowsMessage<EListError>("x"));

  int calls = 0;
  TObject* sender = nullptr;
  bool handled_preset = true;
  obj->SetOnException([&](TObject* s, ErrorClass ex, const std::string& msg, bool& handled) {
    ++calls;
    sender = s;
    handled_preset = handled;
    EXPECT_EQ(ex, ErrorClass::Of<EConvertError>());
    EXPECT_EQ(msg, "bad value");
  });
  EXPECT_THAT([&] { obj->DoError(ErrorClass::Of<EConvertError>(), "bad value"); },
              ThrowsMessage<EConvertError>("bad value"));
  EXPECT_EQ(calls, 1) << "the handler runs even when it does not handle";
  EXPECT_EQ(sender, static_cast<TObject*>(obj.get()));
  EXPECT_FALSE(handled_preset);

  obj->SetOnException([&](TObject*, ErrorClass, const std::string&, bool& handled) {
    ++calls;
    handled = true;
  });
  EXPECT_NO_THROW(obj->DoError(ErrorClass::Of<EConvertError>(), "bad value"));
  EXPECT_EQ(calls, 2);

  obj->SetOnException([](TObject*, ErrorClass, const std::string&, bool&) {
    throw EPropertyError("from the handler");
  });
  EXPECT_THAT([&] { obj->DoError(ErrorClass::Of<EListError>(), "x"); },
              ThrowsMessage<EPropertyError>("from the handler"));
}

TYPED_TEST(RandomHooksTest, DoRandomDrawsEachHalfBelowItsBound) {
  auto obj = this->Make();
  RandomSeed(12345);
  EXPECT_EQ(obj->DoRandom(0), 0u);
  EXPECT_EQ(obj->DoRandom(65536), 0u) << "low bound 0, high bound 1";
  std::set<std::uint32_t> seen;
  for (int i = 0; i < 200; ++i) {
    const std::uint32_t r = obj->DoRandom(2 * 65536);
    ASSERT_TRUE(r == 0 || r == 65536) << r;
    seen.insert(r);
    ASSERT_LE(obj->DoRandom(65535), 65534u);
  }
  EXPECT_EQ(seen.size(), 2u);
  // 65537: the low half below 1 (always 0), the high half below 1 (always 0).
  EXPECT_EQ(obj->DoRandom(65537), 0u);
  // 3 * 65536 + 2: low below 2, high below 3.
  for (int i = 0; i < 100; ++i) {
    const std::uint32_t r = obj->DoRandom(3 * 65536 + 2);
    ASSERT_LE(r & 0xFFFF, 1u);
    ASSERT_LE(r >> 16, 2u);
  }

  std::uint32_t asked = 0;
  obj->SetOnGetRandom([&](TObject*, std::uint32_t range, std::uint32_t& rnd) {
    asked = range;
    rnd = 7;
  });
  EXPECT_EQ(obj->DoRandom(0), 7u);
  EXPECT_EQ(obj->DoRandom(1000000), 7u);
  EXPECT_EQ(asked, 1000000u);
}

TEST(RndPersistentTest, AssignCopiesHandlersIntoTheArgument) {
  TRndPersistent a;
  TRndPersistent b;
  int a_calls = 0;
  a.SetOnException([&](TObject*, ErrorClass, const std::string&, bool& handled) {
    ++a_calls;
    handled = true;
  });
  a.SetOnGetRandom([](TObject*, std::uint32_t, std::uint32_t& rnd) { rnd = 99; });

  // a.Assign(&b) copies from a to b: the same direction as a.AssignTo(&b).
  a.Assign(&b);
  EXPECT_NO_THROW(b.DoError(ErrorClass::Of<EListError>(), "m"));
  EXPECT_EQ(a_calls, 1);
  EXPECT_EQ(b.DoRandom(5), 99u);

  TRndPersistent c;
  c.AssignTo(&a);  // c has no handlers: a loses its own
  EXPECT_THROW(a.DoError(ErrorClass::Of<EListError>(), "m"), EListError);
}

TEST(RndPersistentTest, AssignFromOtherClassesOrNilIsAConversionError) {
  TRndPersistent a;
  EXPECT_THAT([&] { a.Assign(nullptr); },
              ThrowsMessage<EConvertError>("Cannot assign a nil to a TRndPersistent"));
  TPersistent plain;
  EXPECT_THAT([&] { a.Assign(&plain); },
              ThrowsMessage<EConvertError>("Cannot assign a TPersistent to a TRndPersistent"));
  // AssignTo a foreign class or nil does nothing.
  EXPECT_NO_THROW(a.AssignTo(&plain));
  EXPECT_NO_THROW(a.AssignTo(nullptr));
}

}  // namespace
}  // namespace wordloom
