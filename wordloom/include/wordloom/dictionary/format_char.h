// TFormatChar: the byte the codec reserves as its escape marker in encoded text
// (the token) and the text that stands for it in plain text (the replacement).
// The tokenizer writes the replacement bytes in place of the token, words never
// contain the token, and the decoder turns the replacement back into it.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <string>

#include "wordloom/dictionary/byte_string.h"
#include "wordloom/platform/persistent.h"

namespace wordloom {

class TFormatChar : public TPersistent {
 public:
  WORDLOOM_OBJECT(TFormatChar)

  // Token 0, no replacement text, NoReplacement false, both byte strings empty.
  TFormatChar() = default;

  std::uint8_t GetToken() const { return FToken; }
  std::uint8_t Token() const { return FToken; }
  // Raises EPropertyError "Token must not be included in replacement." when
  // Value occurs in the current replacement; otherwise stores it and derives
  // both byte strings.
  void SetToken(std::uint8_t Value);

  // Empty when NoReplacement; else the replacement text; else the token's
  // default name ("Backslash" for 92, ...); else empty.
  std::string GetReplacement() const;
  std::string Replacement() const { return GetReplacement(); }
  // Raises EPropertyError "Token must not be included in replacement." when the
  // token occurs in Value; an empty Value falls back to the default name.
  void SetReplacement(const std::string& Value);

  bool NoReplacement() const { return FNoReplacement; }
  // Stores the flag only: the replacement bytes follow at the next SetToken.
  void SetNoReplacement(bool Value) { FNoReplacement = Value; }

  // The token as a byte string (one byte once a token was set). Lent, not given.
  const TByteString& GetTokenBStr() const { return FTokenBStr; }
  // Copies Value's bytes into the token bytes; the token is not changed.
  void SetTokenBStr(const TByteString& Value);
  // The bytes written for the token in plain text. Lent, not given.
  const TByteString& GetReplBStr() const { return FReplBStr; }
  // The replacement text and bytes become exactly Value's bytes, unchecked.
  // REQUIRES: Value does not contain the token.
  void SetReplBStr(const TByteString& Value);

  // The default replacement of a token: its name, or empty when it has none.
  static std::string DefaultReplacement(std::uint8_t Token);

  // Copies token and replacement text into a TFormatChar destination and derives
  // its byte strings with its own NoReplacement; any other destination raises
  // EConvertError.
  void AssignTo(TPersistent* Dest) override;

  // Stored as the published NoReplacement, then "Replacement" (when the text is
  // not empty) and "Token" (when not 0).
  void GetProperties(PropertyList& List) override;
  void DefineProperties(TFiler& Filer) override;

 private:
  // Derives the replacement bytes for the current token (SetToken's last step).
  void DeriveReplacementBytes();

  std::uint8_t FToken = 0;
  std::string FReplacement;
  TByteString FReplBStr;
  TByteString FTokenBStr;
  bool FNoReplacement = false;
};

}  // namespace wordloom

#pragma GCC visibility pop
