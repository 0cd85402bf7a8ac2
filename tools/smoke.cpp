// A smoke run of the headless library: byte strings, the error hook and a form
// file round trip. Exits 0 when everything behaved, 1 otherwise.
#include <cstdio>
#include <string>

#include "wordloom/wordloom.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%-58s %s\n", what, ok ? "ok" : "FAILED");
  if (!ok) ++failures;
}

// A small component with an error hook, stored and read back.
class SmokeComponent : public wordloom::TRndComponent {
 public:
  WORDLOOM_OBJECT(SmokeComponent)
  using TRndComponent::TRndComponent;

  std::string FCaption;
  std::int64_t FCount = 0;

  void GetProperties(wordloom::PropertyList& List) override {
    TRndComponent::GetProperties(List);
    List.String("Caption", [this] { return FCaption; },
                [this](const std::string& v) { FCaption = v; });
    List.Integer("Count", [this] { return FCount; }, [this](std::int64_t v) { FCount = v; },
                 0, 1000).WithDefault(0);
  }
};

}  // namespace

int main() {
  using namespace wordloom;

  TByteString b;
  b.AppendLongWord(258, 3);
  Check(b.Size() == 3 && b.At(0) == 2 && b.At(1) == 1 && b.At(2) == 0,
        "AppendLongWord(258, 3) gives 02 01 00");
  Check(b.WithDrawLongWord(2) == 258 && b.Size() == 1, "WithDrawLongWord(2) gives 258 back");

  bool reported = false;
  SmokeComponent c(nullptr);
  c.SetOnException([&](TObject*, ErrorClass ex, const std::string& msg, bool& handled) {
    reported = ex == ErrorClass::Of<EListError>() && msg == "smoke";
    handled = true;
  });
  c.DoError(ErrorClass::Of<EListError>(), "smoke");
  Check(reported, "DoError goes to the OnException handler");

  RegisterClasses({ComponentClass::Of<SmokeComponent>()});
  c.SetName("Smoke");
  c.FCaption = "caf\xC3\xA9 \"quoted\"";
  c.FCount = 42;
  const std::string form = WriteComponentToString(c);
  std::printf("%s", form.c_str());
  TComponent* back = ReadComponentFromString(form, nullptr);
  auto* read = dynamic_cast<SmokeComponent*>(back);
  Check(read != nullptr && read->Name() == "Smoke" && read->FCaption == c.FCaption &&
            read->FCount == 42,
        "a form file round trip keeps name and properties");
  delete back;

  std::printf("%s\n", failures == 0 ? "smoke: all good" : "smoke: FAILED");
  return failures == 0 ? 0 : 1;
}
