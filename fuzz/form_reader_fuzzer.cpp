// Feeds arbitrary bytes to the form file reader. Whatever the bytes, the reader
// either builds components or raises EReadError; and what it builds, written
// back and read again, writes the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

enum FuzzMode : std::uint8_t { fmA, fmB, fmC };
using FuzzModes = EnumSet<FuzzMode, 3>;

// A nested object with a custom string, character and binary property.
class FuzzPart : public TPersistent {
 public:
  WORDLOOM_OBJECT(FuzzPart)
  std::string FText;
  std::uint8_t FChar = 0;
  std::string FBlob;
  bool FFlag = false;

  void GetProperties(PropertyList& List) override {
    List.Boolean("Flag", [this] { return FFlag; }, [this](bool v) { FFlag = v; });
  }
  void DefineProperties(TFiler& Filer) override {
    Filer.DefineProperty("Text", [this](TReader& r) { FText = r.ReadString(); },
                         [this](TWriter& w) { w.WriteString(FText); }, !FText.empty());
    Filer.DefineProperty("Char", [this](TReader& r) { FChar = r.ReadChar(); },
                         [this](TWriter& w) { w.WriteChar(FChar); }, FChar != 0);
    Filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          FBlob.assign(static_cast<std::size_t>(s.Size()), '\0');
          s.ReadBuffer(FBlob.data(), FBlob.size());
        },
        [this](TStream& s) { s.WriteBuffer(FBlob.data(), FBlob.size()); }, !FBlob.empty());
  }
};

class FuzzComponent : public TContainer {
 public:
  WORDLOOM_OBJECT(FuzzComponent)
  using TContainer::TContainer;

  std::int64_t FNumber = 100;
  std::string FCaption;
  FuzzMode FMode = fmA;
  FuzzModes FModes;
  std::uint8_t FLetter = 'a';
  FuzzPart FPart;
  TComponent* FBuddy = nullptr;

  void GetProperties(PropertyList& List) override {
    TContainer::GetProperties(List);
    List.Integer("Number", [this] { return FNumber; }, [this](std::int64_t v) { FNumber = v; },
                 -5, 4294967295LL).WithDefault(100);
    List.String("Caption", [this] { return FCaption; },
                [this](const std::string& v) {
                  if (v == "refuse") throw EPropertyError("refused");
                  FCaption = v;
                });
    List.Enum<FuzzMode>("Mode", [this] { return FMode; }, [this](FuzzMode v) { FMode = v; },
                        {"fmA", "fmB", "fmC"});
    List.Set<FuzzModes>("Modes", [this] { return FModes; }, [this](FuzzModes v) { FModes = v; },
                        {"fmA", "fmB", "fmC"});
    List.Char("Letter", [this] { return FLetter; }, [this](std::uint8_t v) { FLetter = v; });
    List.Object("Part", [this] { return &FPart; });
    List.Component("Buddy", [this] { return FBuddy; }, [this](TComponent* c) { FBuddy = c; });
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
    TContainer::Notification(AComponent, Operation);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    RegisterClasses({ComponentClass::Of<FuzzComponent>(), ComponentClass::Of<TContainer>()});
    return true;
  }();
  (void)registered;

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TComponent* c = nullptr;
  try {
    c = ReadComponentFromString(text, nullptr);
  } catch (const EReadError&) {
    return 0;
  }
  const std::string once = WriteComponentToString(*c);
  TComponent* again = ReadComponentFromString(once, nullptr);
  const std::string twice = WriteComponentToString(*again);
  if (once != twice) std::abort();
  delete again;
  delete c;
  return 0;
}
