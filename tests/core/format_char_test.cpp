#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <wordloom/platform/form_file.h>
#include <wordloom/wordloom.h>

namespace wordloom {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::ThrowsMessage;

constexpr const char* kTokenInReplacement = "Token must not be included in replacement.";

std::string Bytes(const TByteString& b) { return b.GetString(); }

// Reads a stored form back as a new dictionary.
std::unique_ptr<TVelkWordloom> ReadBack(const std::string& text) {
  Register();
  return ReadComponentAs<TVelkWordloom>(text);
}

TEST(FormatCharTest, NewObjectIsEmpty) {
  TFormatChar fc;
  EXPECT_EQ(fc.Token(), 0);
  EXPECT_EQ(fc.Replacement(), "");
  EXPECT_FALSE(fc.NoReplacement());
  EXPECT_EQ(fc.GetTokenBStr().Size(), 0u);
  EXPECT_EQ(fc.GetReplBStr().Size(), 0u);
}

TEST(FormatCharTest, SetTokenDerivesBytesAndRefusesTokenInReplacement) {
  TFormatChar fc;
  fc.SetToken(92);
  EXPECT_EQ(Bytes(fc.GetTokenBStr()), std::string(1, '\\'));
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "Backslash");
  EXPECT_EQ(fc.Replacement(), "Backslash");

  // 'a' occurs in "Backslash", the replacement of the token in force.
  EXPECT_THAT([&] { fc.SetToken('a'); },
              ThrowsMessage<EPropertyError>(HasSubstr(kTokenInReplacement)));
  EXPECT_EQ(fc.Token(), 92);
  EXPECT_EQ(Bytes(fc.GetTokenBStr()), "\\");

  // A token without a default name leaves no replacement bytes.
  fc.SetToken(35);
  EXPECT_EQ(Bytes(fc.GetTokenBStr()), "#");
  EXPECT_EQ(fc.GetReplBStr().Size(), 0u);
  EXPECT_EQ(fc.Replacement(), "");

  fc.SetToken(34);
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "Quote ");
  EXPECT_EQ(fc.Replacement().size(), 6u);

  // Token 0 still gives a one-byte token string.
  fc.SetToken(0);
  EXPECT_EQ(Bytes(fc.GetTokenBStr()), std::string(1, '\0'));
}

TEST(FormatCharTest, SetReplacementChecksAndFallsBackToDefaultName) {
  TFormatChar fc;
  fc.SetToken(36);
  fc.SetReplacement("DS");
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "DS");

  EXPECT_THAT([&] { fc.SetReplacement("a$b"); },
              ThrowsMessage<EPropertyError>(HasSubstr(kTokenInReplacement)));
  EXPECT_EQ(fc.Replacement(), "DS");
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "DS");

  // The explicit text now governs the check of a new token.
  EXPECT_THAT([&] { fc.SetToken('S'); },
              ThrowsMessage<EPropertyError>(HasSubstr(kTokenInReplacement)));
  fc.SetToken(35);
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "DS");

  fc.SetReplacement("");
  EXPECT_EQ(fc.GetReplBStr().Size(), 0u);  // 35 has no name
  fc.SetToken(36);
  fc.SetReplacement("X");
  fc.SetReplacement("");
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "Dollar");
}

TEST(FormatCharTest, NoReplacementTakesEffectOnBytesAtNextSetToken) {
  TFormatChar fc;
  fc.SetToken(92);
  fc.SetNoReplacement(true);
  EXPECT_EQ(fc.Replacement(), "");
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "Backslash");

  // The replacement now reads empty, so no letter is refused.
  fc.SetToken('a');
  EXPECT_EQ(fc.Token(), 'a');
  EXPECT_EQ(fc.GetReplBStr().Size(), 0u);

  // An explicit text sets the bytes even now, but still reads empty.
  fc.SetReplacement("Amp");
  EXPECT_EQ(Bytes(fc.GetReplBStr()), "Amp");
  EXPECT_EQ(fc.Replacement(), "");
  fc.SetNoReplacement(false);
  EXPECT_EQ(fc.Replacement(), "Amp");
}

TEST(FormatCharTest, ByteStringSettersCopyBytes) {
  TFormatChar fc;
  fc.SetToken(92);
  const std::string raw("R\0S", 3);
  TByteString value(raw);
  fc.SetReplBStr(value);
  EXPECT_EQ(fc.Replacement(), raw);
  EXPECT_EQ(Bytes(fc.GetReplBStr()), raw);

  fc.SetTokenBStr(TByteString("~"));
  EXPECT_EQ(Bytes(fc.GetTokenBStr()), "~");
  EXPECT_EQ(fc.Token(), 92);
}

TEST(FormatCharTest, AssignCopiesTokenAndTextAndDerivesTargetBytes) {
  TFormatChar source;
  source.SetToken(47);
  source.SetReplacement("SL");
  source.SetNoReplacement(true);

  TFormatChar target;
  target.Assign(&source);
  EXPECT_EQ(target.Token(), 47);
  EXPECT_FALSE(target.NoReplacement());
  EXPECT_EQ(target.Replacement(), "SL");
  EXPECT_EQ(Bytes(target.GetTokenBStr()), "/");
  EXPECT_EQ(Bytes(target.GetReplBStr()), "SL");

  // The target's own NoReplacement governs its bytes.
  TFormatChar silent;
  silent.SetNoReplacement(true);
  silent.Assign(&source);
  EXPECT_TRUE(silent.NoReplacement());
  EXPECT_EQ(silent.GetReplBStr().Size(), 0u);
  silent.SetNoReplacement(false);
  EXPECT_EQ(silent.Replacement(), "SL");

  // No token check: 'a' is in the target's current "Backslash".
  TFormatChar letter;
  letter.SetToken('a');
  TFormatChar backslash;
  backslash.SetToken(92);
  backslash.Assign(&letter);
  EXPECT_EQ(backslash.Token(), 'a');
  EXPECT_EQ(Bytes(backslash.GetTokenBStr()), "a");
  EXPECT_EQ(backslash.GetReplBStr().Size(), 0u);

  // An empty source text gives the default name of the copied token.
  TFormatChar dollar;
  dollar.SetToken(36);
  target.Assign(&dollar);
  EXPECT_EQ(target.Replacement(), "Dollar");
  EXPECT_EQ(Bytes(target.GetReplBStr()), "Dollar");
}

TEST(FormatCharTest, AssignToOtherClassRaisesConvertError) {
  TFormatChar fc;
  fc.SetToken(92);
  TByteString other;
  EXPECT_THAT([&] { fc.AssignTo(&other); },
              ThrowsMessage<EConvertError>(HasSubstr("Cannot assign a TFormatChar")));
  EXPECT_THAT([&] { fc.AssignTo(nullptr); }, ThrowsMessage<EConvertError>(HasSubstr("nil")));
  EXPECT_THAT([&] { other.Assign(&fc); }, ThrowsMessage<EConvertError>(HasSubstr("TByteString")));
  EXPECT_EQ(other.Size(), 0u);
}

TEST(FormatCharTest, FormFileRoundTrip) {
  TVelkWordloom dict(nullptr);
  TFormatChar* fc = dict.FormatChar();
  fc->SetToken(92);
  fc->SetReplacement("B\"S");
  const std::string text = WriteComponentToString(dict);
  const auto no_repl = text.find("NoReplacement = false");
  const auto repl = text.find(" Replacement = \"B\\\"S\"");
  const auto token = text.find("Token = #92");
  ASSERT_NE(no_repl, std::string::npos) << text;
  ASSERT_NE(repl, std::string::npos) << text;
  ASSERT_NE(token, std::string::npos) << text;
  EXPECT_LT(no_repl, repl);
  EXPECT_LT(repl, token);

  auto read = ReadBack(text);
  ASSERT_NE(read, nullptr);
  const TFormatChar* r = read->FormatChar();
  EXPECT_EQ(r->Token(), 92);
  EXPECT_FALSE(r->NoReplacement());
  EXPECT_EQ(r->GetReplacement(), "B\"S");
  EXPECT_EQ(Bytes(r->GetTokenBStr()), "\\");
  EXPECT_EQ(Bytes(r->GetReplBStr()), "B\"S");

  // Stored with NoReplacement, the text comes back but not the bytes.
  fc->SetNoReplacement(true);
  read = ReadBack(WriteComponentToString(dict));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->FormatChar()->NoReplacement());
  EXPECT_EQ(read->FormatChar()->GetReplBStr().Size(), 0u);
  read->FormatChar()->SetNoReplacement(false);
  EXPECT_EQ(read->FormatChar()->Replacement(), "B\"S");
}

TEST(FormatCharTest, FormFileWithoutTokenLeavesBytesEmpty) {
  TVelkWordloom dict(nullptr);
  dict.FormatChar()->SetNoReplacement(true);
  const std::string text = WriteComponentToString(dict);
  EXPECT_THAT(text, HasSubstr("NoReplacement = true"));
  EXPECT_THAT(text, Not(HasSubstr("Token")));
  EXPECT_THAT(text, Not(HasSubstr(" Replacement =")));
  auto read = ReadBack(text);
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->FormatChar()->NoReplacement());
  EXPECT_EQ(read->FormatChar()->Token(), 0);
  EXPECT_EQ(read->FormatChar()->GetTokenBStr().Size(), 0u);
  EXPECT_EQ(read->FormatChar()->GetReplBStr().Size(), 0u);

  // A replacement read without a token is stored as text only.
  read = ReadBack(
      "object : TVelkWordloom\n  FormatChar {\n    Replacement = \"Sep\"\n  }\nend\n");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->FormatChar()->Replacement(), "Sep");
  EXPECT_EQ(read->FormatChar()->GetReplBStr().Size(), 0u);
}

}  // namespace
}  // namespace wordloom
