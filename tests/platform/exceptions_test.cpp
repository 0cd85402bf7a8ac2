#include "wordloom/platform/exceptions.h"

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace wordloom {
namespace {

using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(ExceptionsTest, ErrorClassRaisesTheNamedClassWithTheMessage) {
  const ErrorClass list = ErrorClass::Of<EListError>();
  EXPECT_THAT([&] { list.Raise("List index out of bounds (3)"); },
              ThrowsMessage<EListError>(StrEq("List index out of bounds (3)")));
  EXPECT_THAT([] { ErrorClass::Of<EReadError>().Raise("bad spell file"); },
              ThrowsMessage<EReadError>(HasSubstr("spell file")));

  // The raised object is of the exact class, not merely of a base.
  try {
    ErrorClass::Of<EFCreateError>().Raise("x");
    ADD_FAILURE() << "Raise returned";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "EFCreateError");
    EXPECT_EQ(e.Message(), "x");
  }
}

TEST(ExceptionsTest, ErrorClassesCompareAndNameTheClassTheyStandFor) {
  const ErrorClass a = ErrorClass::Of<EListError>();
  const ErrorClass copy = a;
  EXPECT_TRUE(a == ErrorClass::Of<EListError>());
  EXPECT_TRUE(copy == a);
  EXPECT_FALSE(a == ErrorClass::Of<EConvertError>());
  // A derived class is a different class.
  EXPECT_FALSE(ErrorClass::Of<EReadError>() == ErrorClass::Of<EStreamError>());
  EXPECT_STREQ(a.Name(), "EListError");
  EXPECT_STREQ(ErrorClass::Of<EIntOverflow>().Name(), "EIntOverflow");
}

TEST(ExceptionsTest, DefaultErrorClassNamesException) {
  const ErrorClass c;
  EXPECT_STREQ(c.Name(), "Exception");
  EXPECT_TRUE(c == ErrorClass::Of<Exception>());
  EXPECT_FALSE(c == ErrorClass::Of<EListError>());
  EXPECT_THAT([&] { c.Raise("plain"); }, ThrowsMessage<Exception>(StrEq("plain")));
}

TEST(ExceptionsTest, ReadErrorIsAStreamErrorIsAnException) {
  EXPECT_THAT([] { ErrorClass::Of<EReadError>().Raise("Stream read error"); },
              ThrowsMessage<EStreamError>(StrEq("Stream read error")));
  EXPECT_THAT([] { ErrorClass::Of<EFOpenError>().Raise("m"); }, ThrowsMessage<Exception>(StrEq("m")));
  EXPECT_THAT([] { ErrorClass::Of<EReadError>().Raise("w"); },
              ThrowsMessage<std::exception>(StrEq("w")));
}

}  // namespace
}  // namespace wordloom
