// The rules of a Hunspell .aff file that decide which forms are words: the
// flag type, aliases, the prefix and suffix classes with their entries, the
// special flags and the output conversion. Read from the file's bytes; text
// fields (strip, add, conditions, conversions) are turned into UTF-8, flags
// are decoded from the bytes as Hunspell decodes them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text_converter.h"

namespace wordloom::detail {

using Flag = std::uint32_t;
// Flags sorted and unique, so that membership is a binary search.
using FlagSet = std::vector<Flag>;

bool HasFlag(const FlagSet& Flags, Flag F);

enum class FlagType { kChar, kLong, kNum, kUtf8 };

// One element of an affix condition: any character, or one of / none of a
// set of characters.
struct ConditionElement {
  bool Any = false;
  bool Negated = false;
  std::u32string Chars;
  bool Matches(char32_t C) const;
};

// A PFX or SFX entry: strip Strip from the word's start (prefix) or end
// (suffix), where the word's characters there fit Condition, and add Add.
struct AffixEntry {
  Flag Class = 0;
  bool Prefix = false;
  bool Cross = false;  // combines with affixes of the other side
  std::string Strip;
  std::string Add;
  FlagSet Continuation;
  std::vector<ConditionElement> Condition;

  // Whether the entry applies to Word (UTF-8): Word starts (prefix) or ends
  // (suffix) with Strip, something is left once it is stripped (or FullStrip),
  // and the condition holds there.
  bool AppliesTo(std::string_view Word, bool FullStrip) const;
  // Word with the entry applied. REQUIRES: AppliesTo(Word).
  std::string Apply(std::string_view Word) const;
};

// ICONV/OCONV: at each position the longest matching pattern is replaced
// (a pattern may be anchored with ^ at the word's start and $ at its end).
class ConversionTable {
 public:
  // The most rules a table holds (real ones have a few dozen); a longer one
  // would make every form slow to convert.
  static constexpr std::size_t kMaxRules = 4096;

  // False, adding nothing, when the table is full.
  bool Add(std::string Pattern, std::string Replacement);
  bool Empty() const { return FRules.empty(); }
  std::string Apply(std::string_view Word) const;

 private:
  struct Rule {
    std::string Pattern;
    std::string Replacement;
    bool AtStart = false;
    bool AtEnd = false;
  };
  std::vector<Rule> FRules;
};

// The special flags; 0 where the .aff names none.
struct SpecialFlags {
  Flag NeedAffix = 0;
  Flag Circumfix = 0;
  Flag ForbiddenWord = 0;
  Flag OnlyInCompound = 0;
  Flag KeepCase = 0;
};

class AffixRules {
 public:
  // Reads the .aff's bytes; Name names it in messages. Problems Hunspell
  // passes over go to Warn; a corrupt file (an affix class cut short, an
  // alias table too short) raises EImportError.
  AffixRules(std::string_view Aff, const std::string& Name,
             const std::function<void(const std::string&)>& Warn);

  const std::string& Encoding() const { return FEncoding; }
  TextConverter& Converter() { return *FConverter; }
  FlagType Type() const { return FFlagType; }
  const SpecialFlags& Special() const { return FSpecial; }
  bool FullStrip() const { return FFullStrip; }
  bool Compounding() const { return FCompounding; }
  bool HasAliases() const { return !FAliases.empty(); }
  const std::string& Ignore() const { return FIgnore; }
  const ConversionTable& OutputConversion() const { return FOutput; }

  // The flags of a flag field (after "/" in the .dic or an affix's add): an
  // alias number when the .aff has AF, else decoded by the flag type. Bad
  // fields go to Warn, as Hunspell warns and goes on.
  FlagSet DecodeFlags(std::string_view Field, const std::function<void(const std::string&)>& Warn) const;

  // The entries of the prefix or suffix class named F; null when none.
  const std::vector<AffixEntry>* Prefixes(Flag F) const;
  const std::vector<AffixEntry>* Suffixes(Flag F) const;

  // Text without the IGNORE characters.
  std::string WithoutIgnored(std::string_view Text) const;

 private:
  FlagSet DecodeFlagsRaw(std::string_view Field, const std::function<void(const std::string&)>& Warn) const;
  Flag DecodeOneFlag(std::string_view Field) const;

  std::string FEncoding = "ISO8859-1";  // Hunspell's default
  std::unique_ptr<TextConverter> FConverter;
  FlagType FFlagType = FlagType::kChar;
  SpecialFlags FSpecial;
  bool FFullStrip = false;
  bool FCompounding = false;
  std::string FIgnore;
  std::vector<FlagSet> FAliases;
  std::unordered_map<Flag, std::vector<AffixEntry>> FPrefixes;
  std::unordered_map<Flag, std::vector<AffixEntry>> FSuffixes;
  ConversionTable FOutput;
};

}  // namespace wordloom::detail
