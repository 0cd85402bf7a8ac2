#include "wordloom/dictionary/format_char.h"

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/form_file.h"

namespace wordloom {

namespace {

constexpr const char* kTokenInReplacement = "Token must not be included in replacement.";

bool Contains(const std::string& s, std::uint8_t c) {
  return s.find(static_cast<char>(c)) != std::string::npos;
}

}  // namespace

std::string TFormatChar::DefaultReplacement(std::uint8_t Token) {
  switch (Token) {
    case 34: return "Quote ";  // the blank belongs to it
    case 36: return "Dollar";
    case 37: return "Percent";
    case 38: return "Ampersand";
    case 42: return "Asterisk";
    case 45: return "Hyphen";
    case 47: return "Slash";
    case 92: return "Backslash";
    case 95: return "Underscore";
    case 163: return "Pound";      // the pound sign of the Windows-1252 code page
    case 167: return "Paragraph";  // the section sign of the same code page
    default: return std::string();
  }
}

std::string TFormatChar::GetReplacement() const {
  if (FNoReplacement) return std::string();
  if (!FReplacement.empty()) return FReplacement;
  return DefaultReplacement(FToken);
}

void TFormatChar::DeriveReplacementBytes() {
  if (FNoReplacement) {
    FReplBStr.SetSize(0);
  } else if (!FReplacement.empty()) {
    FReplBStr.SetString(FReplacement);
  } else {
    FReplBStr.SetString(DefaultReplacement(FToken));
  }
}

void TFormatChar::SetToken(std::uint8_t Value) {
  // Checked against the replacement of the token in force before the change.
  if (Contains(GetReplacement(), Value)) throw EPropertyError(kTokenInReplacement);
  // The new token, as a byte string too, and the replacement bytes it implies.
  FToken = Value;
  FTokenBStr.SetSize(0);
  FTokenBStr.AppendChar(Value);
  DeriveReplacementBytes();
}

void TFormatChar::SetReplacement(const std::string& Value) {
  if (Contains(Value, FToken)) throw EPropertyError(kTokenInReplacement);
  FReplacement = Value;
  if (!Value.empty()) {
    FReplBStr.SetString(Value);
  } else {
    SetToken(FToken);
  }
}

void TFormatChar::SetTokenBStr(const TByteString& Value) {
  FTokenBStr.SetSize(Value.Size());
  FTokenBStr.SetData(Value.Data());
}

void TFormatChar::SetReplBStr(const TByteString& Value) {
  FReplacement = Value.GetString();
  FReplBStr.SetSize(Value.Size());
  FReplBStr.SetData(Value.Data());
}

void TFormatChar::AssignTo(TPersistent* Dest) {
  auto* dest = dynamic_cast<TFormatChar*>(Dest);
  if (dest == nullptr) {
    TPersistent::AssignTo(Dest);  // the assignment error
    return;
  }
  if (dest == this) return;
  dest->FToken = FToken;
  dest->FReplacement = FReplacement;
  // The byte strings as SetToken derives them, without its check.
  dest->FTokenBStr.SetSize(0);
  dest->FTokenBStr.AppendChar(FToken);
  dest->DeriveReplacementBytes();
}

void TFormatChar::GetProperties(PropertyList& List) {
  TPersistent::GetProperties(List);
  List.Boolean("NoReplacement", [this] { return FNoReplacement; },
               [this](bool v) { SetNoReplacement(v); });
}

void TFormatChar::DefineProperties(TFiler& Filer) {
  TPersistent::DefineProperties(Filer);
  // Read before "Token", so that SetToken derives the byte strings from both.
  Filer.DefineProperty(
      "Replacement", [this](TReader& r) { FReplacement = r.ReadString(); },
      [this](TWriter& w) { w.WriteString(FReplacement); }, !FReplacement.empty());
  Filer.DefineProperty(
      "Token", [this](TReader& r) { SetToken(r.ReadChar()); },
      [this](TWriter& w) { w.WriteChar(FToken); }, FToken != 0);
}

}  // namespace wordloom
