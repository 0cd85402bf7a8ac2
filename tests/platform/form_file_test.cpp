#include "wordloom/platform/form_file.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "wordloom/platform/enum_set.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/stream.h"

namespace wordloom {
namespace {

using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::ThrowsMessage;
using ::testing::UnorderedElementsAre;

enum TShape : std::uint8_t { shCircle, shSquare, shTriangle };
enum TStyleFlag : std::uint8_t { sfBold, sfItalic, sfUnderline, sfStrike };
using TStyleFlags = EnumSet<TStyleFlag, 4>;

// What setters and Loaded report, in the order they ran.
std::vector<std::string> gEvents;

class TFormTestInner : public TPersistent {
 public:
  WORDLOOM_OBJECT(TFormTestInner)

  void GetProperties(PropertyList& List) override {
    TPersistent::GetProperties(List);
    List.Integer("Depth", [this] { return FDepth; }, [this](std::int64_t v) { FDepth = v; },
                 -100, 100)
        .WithDefault(0);
    List.String("Note", [this] { return FNote; }, [this](const std::string& v) { FNote = v; });
  }

  std::int64_t FDepth = 0;
  std::string FNote;
};

// A persistent object with a published property of every kind and three custom
// properties.
class TFormTestStyle : public TPersistent {
 public:
  WORDLOOM_OBJECT(TFormTestStyle)

  void GetProperties(PropertyList& List) override {
    TPersistent::GetProperties(List);
    List.Integer("Size", [this] { return FSize; }, [this](std::int64_t v) { FSize = v; }, 1, 1000)
        .WithDefault(10);
    List.Boolean("Visible", [this] { return FVisible; }, [this](bool v) { FVisible = v; });
    List.Char("Mark", [this] { return FMark; }, [this](std::uint8_t v) { FMark = v; });
    List.String("Caption", [this] { return FCaption; },
                [this](const std::string& v) { FCaption = v; });
    List.Enum<TShape>("Shape", [this] { return FShape; }, [this](TShape v) { FShape = v; },
                      {"shCircle", "shSquare", "shTriangle"});
    List.Set<TStyleFlags>("Flags", [this] { return FFlags; },
                          [this](TStyleFlags v) { FFlags = v; },
                          {"sfBold", "sfItalic", "sfUnderline", "sfStrike"});
    List.Object("Inner", [this] { return &FInner; });
    List.Integer("Scratch", [this] { return FScratch; },
                 [this](std::int64_t v) { FScratch = v; }, -1000, 1000)
        .NotStored();
  }

  void DefineProperties(TFiler& Filer) override {
    TPersistent::DefineProperties(Filer);
    Filer.DefineProperty(
        "Comment", [this](TReader& r) { FComment = r.ReadString(); },
        [this](TWriter& w) { w.WriteString(FComment); }, !FComment.empty());
    Filer.DefineProperty(
        "Token",
        [this](TReader& r) {
          FToken = r.ReadChar();
          FHasToken = true;
        },
        [this](TWriter& w) { w.WriteChar(FToken); }, FHasToken);
    Filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          FBlob.assign(static_cast<std::size_t>(s.Size() - s.Position()), '\0');
          s.ReadBuffer(FBlob.data(), FBlob.size());
        },
        [this](TStream& s) { s.WriteBuffer(FBlob.data(), FBlob.size()); }, !FBlob.empty());
  }

  std::int64_t FSize = 10;
  bool FVisible = false;
  std::uint8_t FMark = 'x';
  std::string FCaption;
  TShape FShape = shCircle;
  TStyleFlags FFlags;
  TFormTestInner FInner;
  std::int64_t FScratch = 0;
  std::string FComment;
  bool FHasToken = false;
  std::uint8_t FToken = 0;
  std::string FBlob;
};

// A component holding a style and a reference to another component.
class TFormTestWidget : public TComponent {
 public:
  WORDLOOM_OBJECT(TFormTestWidget)
  using TComponent::TComponent;

  void GetProperties(PropertyList& List) override {
    TComponent::GetProperties(List);
    List.Integer("Tag", [this] { return FTag; }, [this](std::int64_t v) { FTag = v; },
                 std::numeric_limits<std::int64_t>::min(),
                 std::numeric_limits<std::int64_t>::max());
    List.String("Title", [this] { return FTitle; }, [this](const std::string& v) {
      FTitle = v;
      FLoadingInSetter = Loading();
      gEvents.push_back("Title=" + v);
    });
    List.Integer("Strict", [this] { return FStrict; }, [this](std::int64_t v) {
      if (v == 13) throw EPropertyError("Strict refuses 13");
      FStrict = v;
    }, -1000, 1000).WithDefault(0);
    List.Object("Style", [this] { return &FStyle; });
    List.Component("Buddy", [this] { return FBuddy; }, [this](TComponent* v) {
      FBuddy = v;
      gEvents.push_back("Buddy=" + (v ? v->Name() : std::string("nil")));
    });
  }

  std::int64_t FTag = 0;
  std::string FTitle;
  std::int64_t FStrict = 0;
  TFormTestStyle FStyle;
  TComponent* FBuddy = nullptr;
  bool FLoadingInSetter = false;

 protected:
  void Loaded() override {
    gEvents.push_back("Loaded:" + Name());
    TComponent::Loaded();
  }
};

class FormFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({ComponentClass::Of<TFormTestWidget>(), ComponentClass::Of<TContainer>()});
    gEvents.clear();
  }
};

std::string AllBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(i));
  return s;
}

std::unique_ptr<TFormTestWidget> ReadWidget(std::string_view text) {
  std::unique_ptr<TComponent> c(ReadComponentFromString(text, nullptr));
  auto* w = dynamic_cast<TFormTestWidget*>(c.get());
  EXPECT_NE(w, nullptr);
  if (w == nullptr) return nullptr;
  c.release();
  return std::unique_ptr<TFormTestWidget>(w);
}

TEST_F(FormFileTest, RoundTripPreservesEveryValue) {
  TFormTestWidget w(nullptr);
  w.SetName("Main");
  w.FTag = std::numeric_limits<std::int64_t>::min();
  static const char kTitle[] = "say \"hi\"\\ \\x41\nnext\tline\r\0end\x7F\x80\xE9\xFF";
  w.FTitle = std::string(kTitle, sizeof kTitle - 1);
  w.FStrict = -1000;
  TFormTestStyle& s = w.FStyle;
  s.FSize = 1000;
  s.FVisible = true;
  s.FMark = 0xE9;
  s.FCaption = "#35 = [a, b] <00> { } end";
  s.FShape = shTriangle;
  s.FFlags = {sfBold, sfStrike};
  s.FInner.FDepth = -7;
  s.FInner.FNote = "inner \"note\"";
  s.FComment = "comment with \"quotes\" and \\";
  s.FHasToken = true;
  s.FToken = 0;  // a zero byte is a value like any other
  s.FBlob = AllBytes() + AllBytes().substr(0, 5);

  const std::string text = WriteComponentToString(w);
  auto r = ReadWidget(text);
  ASSERT_NE(r, nullptr) << text;
  EXPECT_EQ(r->Name(), "Main");
  EXPECT_EQ(r->Owner(), nullptr);
  EXPECT_EQ(r->FTag, w.FTag);
  EXPECT_EQ(r->FTitle, w.FTitle);
  EXPECT_EQ(r->FStrict, -1000);
  const TFormTestStyle& t = r->FStyle;
  EXPECT_EQ(t.FSize, 1000);
  EXPECT_TRUE(t.FVisible);
  EXPECT_EQ(t.FMark, 0xE9);
  EXPECT_EQ(t.FCaption, s.FCaption);
  EXPECT_EQ(t.FShape, shTriangle);
  EXPECT_EQ(t.FFlags, (TStyleFlags{sfBold, sfStrike}));
  EXPECT_EQ(t.FInner.FDepth, -7);
  EXPECT_EQ(t.FInner.FNote, "inner \"note\"");
  EXPECT_EQ(t.FComment, s.FComment);
  EXPECT_TRUE(t.FHasToken);
  EXPECT_EQ(t.FToken, 0);
  EXPECT_EQ(t.FBlob, s.FBlob);
  EXPECT_FALSE(r->Loading());

  // Writing what was read gives the same text.
  EXPECT_EQ(WriteComponentToString(*r), text);
}

TEST_F(FormFileTest, RoundTripThroughStreamsAndIntoAnExistingComponent) {
  TFormTestWidget w(nullptr);
  w.SetName("Streamed");
  w.FTitle = "via stream";
  TMemoryStream m;
  WriteComponent(m, w);
  EXPECT_EQ(m.Bytes(), WriteComponentToString(w));

  m.SetPosition(0);
  TComponent owner(nullptr);
  auto* r = dynamic_cast<TFormTestWidget*>(ReadComponent(m, &owner));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Owner(), &owner);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(r->FTitle, "via stream");

  TFormTestWidget into(nullptr);
  m.SetPosition(0);
  ReadComponentInto(m, into);
  EXPECT_EQ(into.Name(), "Streamed");
  EXPECT_EQ(into.FTitle, "via stream");
}

TEST_F(FormFileTest, ValuesEqualToTheDeclaredDefaultAreLeftOut) {
  TFormTestWidget w(nullptr);
  std::string text = WriteComponentToString(w);
  EXPECT_THAT(text, Not(HasSubstr("Size")));
  EXPECT_THAT(text, Not(HasSubstr("Strict")));
  EXPECT_THAT(text, Not(HasSubstr("Depth")));
  // Properties without a declared default are written whatever their value;
  // empty strings and nil references are not.
  EXPECT_THAT(text, HasSubstr("Tag = 0\n"));
  EXPECT_THAT(text, HasSubstr("Visible = false\n"));
  EXPECT_THAT(text, HasSubstr("Flags = []\n"));
  EXPECT_THAT(text, HasSubstr("Shape = shCircle\n"));
  EXPECT_THAT(text, Not(HasSubstr("Title")));
  EXPECT_THAT(text, Not(HasSubstr("Caption")));
  EXPECT_THAT(text, Not(HasSubstr("Buddy")));
  // Custom properties whose HasData is false are not written.
  EXPECT_THAT(text, Not(HasSubstr("Comment")));
  EXPECT_THAT(text, Not(HasSubstr("Token")));
  EXPECT_THAT(text, Not(HasSubstr("Blob")));

  w.FStyle.FSize = 11;
  w.FStrict = 1;
  w.FStyle.FInner.FDepth = 100;
  text = WriteComponentToString(w);
  EXPECT_THAT(text, HasSubstr("Size = 11\n"));
  EXPECT_THAT(text, HasSubstr("Strict = 1\n"));
  EXPECT_THAT(text, HasSubstr("Depth = 100\n"));

  // A default left out is not reset when read back: the property keeps the
  // value its constructor gave it.
  w.FStyle.FSize = 10;
  auto r = ReadWidget(WriteComponentToString(w));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->FStyle.FSize, 10);
}

TEST_F(FormFileTest, PropertiesAreWrittenInDeclaredOrderAndNotStoredOnesNever) {
  TFormTestWidget w(nullptr);
  w.SetName("Ordered");
  w.FTitle = "t";
  w.FStrict = 5;
  w.FStyle.FSize = 20;
  w.FStyle.FCaption = "c";
  w.FStyle.FInner.FNote = "n";
  w.FStyle.FComment = "x";
  w.FStyle.FHasToken = true;
  w.FStyle.FToken = 'q';
  w.FStyle.FBlob = "b";
  w.FStyle.FScratch = 77;
  const std::string text = WriteComponentToString(w);

  const std::vector<std::string> order = {
      "object Ordered : TFormTestWidget", "Tag = ", "Title = ", "Strict = ", "Style {",
      "Size = ", "Visible = ", "Mark = ", "Caption = ", "Shape = ", "Flags = ", "Inner {",
      "Note = ", "Comment = ", "Token = ", "Blob = <", "end"};
  std::size_t last = 0;
  for (const std::string& key : order) {
    SCOPED_TRACE(key);
    const std::size_t at = text.find(key, last);
    ASSERT_NE(at, std::string::npos) << text;
    last = at + key.size();
  }
  EXPECT_THAT(text, Not(HasSubstr("Scratch")));
  EXPECT_THAT(text, HasSubstr("Token = #113\n"));
  EXPECT_THAT(text, HasSubstr("Mark = #120\n"));

  // A NotStored property can still be read.
  auto r = ReadWidget(
      "object W : TFormTestWidget\n"
      "  Style {\n"
      "    Scratch = -5\n"
      "  }\n"
      "end\n");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->FStyle.FScratch, -5);
}

TEST_F(FormFileTest, ContainerChildrenRoundTripWithNamesOwnersAndReferences) {
  TContainer form(nullptr);
  form.SetName("Form");
  auto* first = new TFormTestWidget(&form);
  first->SetName("First");
  first->FTitle = "first";
  auto* second = new TFormTestWidget(&form);
  second->SetName("Second");
  second->FTitle = "second";
  auto* panel = new TContainer(&form);
  panel->SetName("Panel");
  auto* deep = new TFormTestWidget(panel);
  deep->SetName("Deep");
  deep->FTag = 9;
  first->FBuddy = second;  // a reference forward to a later sibling
  second->FBuddy = first;
  deep->FBuddy = first;  // a reference out of a nested container

  const std::string text = WriteComponentToString(form);
  std::unique_ptr<TComponent> root(ReadComponentFromString(text, nullptr));
  ASSERT_NE(root, nullptr) << text;
  EXPECT_STREQ(root->ClassName(), "TContainer");
  EXPECT_EQ(root->Name(), "Form");
  ASSERT_EQ(root->ComponentCount(), 3) << text;

  auto* r_first = dynamic_cast<TFormTestWidget*>(root->FindComponent("First"));
  auto* r_second = dynamic_cast<TFormTestWidget*>(root->FindComponent("Second"));
  TComponent* r_panel = root->FindComponent("Panel");
  ASSERT_NE(r_first, nullptr);
  ASSERT_NE(r_second, nullptr);
  ASSERT_NE(r_panel, nullptr);
  EXPECT_EQ(root->Components(0), r_first);
  EXPECT_EQ(root->Components(1), r_second);
  EXPECT_EQ(root->Components(2), r_panel);
  EXPECT_EQ(r_first->Owner(), root.get());
  EXPECT_EQ(r_panel->Owner(), root.get());
  EXPECT_STREQ(r_panel->ClassName(), "TContainer");
  ASSERT_EQ(r_panel->ComponentCount(), 1);
  auto* r_deep = dynamic_cast<TFormTestWidget*>(r_panel->Components(0));
  ASSERT_NE(r_deep, nullptr);
  EXPECT_EQ(r_deep->Name(), "Deep");
  EXPECT_EQ(r_deep->Owner(), r_panel);
  EXPECT_EQ(r_deep->FTag, 9);
  EXPECT_EQ(r_first->FTitle, "first");

  EXPECT_EQ(r_first->FBuddy, r_second);
  EXPECT_EQ(r_second->FBuddy, r_first);
  EXPECT_EQ(r_deep->FBuddy, r_first);

  EXPECT_FALSE(root->Loading());
  EXPECT_FALSE(r_first->Loading());
  EXPECT_FALSE(r_deep->Loading());
}

TEST_F(FormFileTest, LoadedRunsAfterEveryPropertyOfTheFormIsRead) {
  auto r = ReadWidget(
      "object Solo : TFormTestWidget\n"
      "  Title = \"x\"\n"
      "end\n");
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->FLoadingInSetter);
  EXPECT_FALSE(r->Loading());
  EXPECT_THAT(gEvents, ElementsAre("Title=x", "Loaded:Solo"));

  gEvents.clear();
  std::unique_ptr<TComponent> root(ReadComponentFromString(
      "object Form : TContainer\n"
      "  object A : TFormTestWidget\n"
      "    Title = \"a\"\n"
      "    Buddy = B\n"
      "  end\n"
      "  object B : TFormTestWidget\n"
      "    Title = \"b\"\n"
      "  end\n"
      "end\n",
      nullptr));
  ASSERT_NE(root, nullptr);
  // Both widgets' properties, including the forward reference, come before
  // either widget's Loaded.
  const auto pos = [&](const std::string& e) {
    return std::find(gEvents.begin(), gEvents.end(), e) - gEvents.begin();
  };
  EXPECT_LT(pos("Title=a"), pos("Title=b"));
  EXPECT_LT(pos("Title=b"), pos("Loaded:A"));
  EXPECT_LT(pos("Buddy=B"), pos("Loaded:A"));
  EXPECT_LT(pos("Title=b"), pos("Loaded:B"));
  EXPECT_LT(pos("Buddy=B"), pos("Loaded:B"));
  EXPECT_THAT(gEvents, UnorderedElementsAre("Title=a", "Buddy=B", "Title=b", "Loaded:A", "Loaded:B"));
}

TEST_F(FormFileTest, ReadIntoAComponentOfAnotherClassFails) {
  TFormTestWidget w(nullptr);
  const std::string text = WriteComponentToString(w);
  TContainer wrong(nullptr);
  EXPECT_THAT([&] { ReadComponentIntoFromString(text, wrong); },
              ThrowsMessage<EReadError>(HasSubstr("line 1")));
  EXPECT_EQ(wrong.ComponentCount(), 0);
  EXPECT_FALSE(wrong.Loading());
}

TEST_F(FormFileTest, SetterRefusalBecomesReadErrorWithTheLine) {
  const std::string text =
      "object W : TFormTestWidget\n"
      "  Tag = 1\n"
      "  Strict = 13\n"
      "end\n";
  EXPECT_THAT([&] { ReadComponentFromString(text, nullptr); },
              ThrowsMessage<EReadError>(AllOf(HasSubstr("line 3"), HasSubstr("Strict refuses 13"))));

  TFormTestWidget into(nullptr);
  EXPECT_THROW(ReadComponentIntoFromString(text, into), EReadError);
  EXPECT_FALSE(into.Loading());
}

// A valid form, and the lines the bad cases below change.
const char* const kGoodForm[] = {
    "object W : TFormTestWidget",        //  1
    "  Tag = 5",                         //  2
    "  Title = \"a\\\"b\\\\c\\x41\\xE9\"",  //  3
    "  Style {",                         //  4
    "    Size = 20",                     //  5
    "    Visible = true",                //  6
    "    Mark = #65",                    //  7
    "    Shape = shSquare",              //  8
    "    Flags = [sfBold, sfItalic]",    //  9
    "    Inner {",                       // 10
    "      Depth = -3",                  // 11
    "    }",                             // 12
    "    Comment = \"c\"",               // 13
    "    Token = #0",                    // 14
    "    Blob = <",                      // 15
    "      00ff10",                      // 16
    "      7F",                          // 17
    "    >",                             // 18
    "  }",                               // 19
    "end",                               // 20
};
constexpr int kGoodFormLines = static_cast<int>(std::size(kGoodForm));

// kGoodForm with line `line` (1-based) replaced by `text`; a null text drops
// the line and every line after it.
std::string FormWith(int line, const char* text) {
  std::string out;
  for (int i = 1; i <= kGoodFormLines; ++i) {
    if (i == line) {
      if (text == nullptr) break;
      out.append(text).append("\n");
    } else {
      out.append(kGoodForm[i - 1]).append("\n");
    }
  }
  return out;
}

std::string Nested(int depth) {
  std::string out;
  for (int i = 0; i < depth; ++i) out += "object C" + std::to_string(i) + " : TContainer\n";
  for (int i = 0; i < depth; ++i) out += "end\n";
  return out;
}

TEST_F(FormFileTest, GoodFormReadsAsWritten) {
  auto r = ReadWidget(FormWith(0, nullptr));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Name(), "W");
  EXPECT_EQ(r->FTag, 5);
  EXPECT_EQ(r->FTitle, "a\"b\\cA\xE9");
  EXPECT_EQ(r->FStyle.FSize, 20);
  EXPECT_TRUE(r->FStyle.FVisible);
  EXPECT_EQ(r->FStyle.FMark, 'A');
  EXPECT_EQ(r->FStyle.FShape, shSquare);
  EXPECT_EQ(r->FStyle.FFlags, (TStyleFlags{sfBold, sfItalic}));
  EXPECT_EQ(r->FStyle.FInner.FDepth, -3);
  EXPECT_EQ(r->FStyle.FComment, "c");
  EXPECT_TRUE(r->FStyle.FHasToken);
  EXPECT_EQ(r->FStyle.FToken, 0);
  EXPECT_EQ(r->FStyle.FBlob, std::string("\x00\xFF\x10\x7F", 4));

  std::unique_ptr<TComponent> nested(ReadComponentFromString(Nested(kMaxFormNesting / 2), nullptr));
  ASSERT_NE(nested, nullptr);
  int depth = 1;
  for (TComponent* c = nested.get(); c->ComponentCount() == 1; c = c->Components(0)) ++depth;
  EXPECT_EQ(depth, kMaxFormNesting / 2);
}

TEST_F(FormFileTest, BadInputRaisesReadErrorNamingTheLine) {
  const std::string good = FormWith(0, nullptr);
  const struct {
    const char* what;
    std::string text;
    int line;      // the line the message names; 0: any line
    int alt_line;  // another acceptable line, or 0
  } kCases[] = {
      {"unknown property", FormWith(2, "  Bogus = 5"), 2, 0},
      {"unknown nested property", FormWith(6, "    Visibility = true"), 6, 0},
      {"string for an integer", FormWith(5, "    Size = \"big\""), 5, 0},
      {"integer for a boolean", FormWith(6, "    Visible = 1"), 6, 0},
      {"integer for a string", FormWith(3, "  Title = 5"), 3, 0},
      {"integer for an enum", FormWith(8, "    Shape = 1"), 8, 0},
      {"integer for a custom string", FormWith(13, "    Comment = 5"), 13, 0},
      {"string for binary data", FormWith(15, nullptr) + "    Blob = \"x\"\n  }\nend\n", 15, 0},
      {"object block for a plain property", FormWith(2, "  Tag {\n  }"), 2, 0},
      {"missing '='", FormWith(2, "  Tag 5"), 2, 0},
      {"integer above its range", FormWith(5, "    Size = 1001"), 5, 0},
      {"integer below its range", FormWith(5, "    Size = 0"), 5, 0},
      {"character code above 255", FormWith(7, "    Mark = #256"), 7, 0},
      {"unknown enumerator", FormWith(8, "    Shape = shHexagon"), 8, 0},
      {"unknown set element", FormWith(9, "    Flags = [sfBold, sfShadow]"), 9, 0},
      {"unclosed set", FormWith(9, "    Flags = [sfBold"), 9, 10},
      {"unterminated string", FormWith(3, "  Title = \"t"), 3, 0},
      {"unknown string escape", FormWith(3, "  Title = \"\\q\""), 3, 0},
      {"short \\x escape", FormWith(3, "  Title = \"\\x4\""), 3, 0},
      {"unterminated binary", FormWith(18, nullptr), 0, 0},
      {"odd number of hex digits", FormWith(17, "      7"), 15, 17},
      {"bad hex digit", FormWith(16, "      00fG10"), 16, 15},
      {"unknown class", FormWith(1, "object W : TNoSuchClass"), 1, 0},
      {"missing class", FormWith(1, "object W"), 1, 2},
      {"missing final end", FormWith(20, nullptr), 0, 0},
      {"missing closing brace", FormWith(19, nullptr), 0, 0},
      {"empty input", "", 0, 0},
      {"garbage after end", good + "junk\n", 21, 0},
      {"second object after end", good + "object X : TFormTestWidget\nend\n", 21, 0},
      {"huge integer", FormWith(2, "  Tag = 99999999999999999999999"), 2, 0},
      {"huge negative integer", FormWith(2, "  Tag = -99999999999999999999"), 2, 0},
      {"integer just past 64 bits", FormWith(2, "  Tag = 9223372036854775808"), 2, 0},
      {"nesting beyond the limit", Nested(kMaxFormNesting + 2), 0, 0},
      {"very deep nesting", Nested(100000), 0, 0},
  };
  for (const auto& k : kCases) {
    SCOPED_TRACE(k.what);
    SCOPED_TRACE(k.text.substr(0, 300));
    const auto line_matcher =
        k.line == 0 ? HasSubstr("line")
                    : HasSubstr("line " + std::to_string(k.line));
    const auto alt_matcher =
        HasSubstr("line " + std::to_string(k.alt_line == 0 ? k.line : k.alt_line));
    TComponent owner(nullptr);
    EXPECT_THAT([&] { ReadComponentFromString(k.text, &owner); },
                ThrowsMessage<EReadError>(AnyOf(line_matcher, alt_matcher)));
    EXPECT_EQ(owner.ComponentCount(), 0);  // nothing is left behind
  }
}

}  // namespace
}  // namespace wordloom
