// The forms of one .dic entry: the word and every word its affix flags make,
// as Hunspell's affix check (without compounding) would accept them: one
// prefix, one suffix, a prefix with a suffix (both cross products), two
// suffixes (the second named in the first's continuation), and a prefix with
// two suffixes; with NEEDAFFIX, CIRCUMFIX and ONLYINCOMPOUND on the word and
// on the affixes' continuations as Hunspell reads them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "affix_rules.h"

namespace wordloom::detail {

class AffixExpander {
 public:
  using Emit = std::function<void(const std::string& Form)>;

  // MaxForms and MaxSteps bound the forms made and the affix entries tried
  // over all calls of Expand (EImportError past either).
  AffixExpander(const AffixRules& Rules, std::uint64_t MaxForms, std::uint64_t MaxSteps);

  // Calls Out with every form of Word (UTF-8) with Flags; a form may come
  // more than once. A word flagged FORBIDDENWORD or ONLYINCOMPOUND makes none.
  void Expand(const std::string& Word, const FlagSet& Flags, const Emit& Out);

  std::uint64_t Forms() const { return FForms; }
  std::uint64_t Steps() const { return FSteps; }

 private:
  // Counts one affix entry tried; false when it does not apply to Word.
  bool Try(const AffixEntry& Entry, std::string_view Word);
  void Put(const std::string& Form, const Emit& Out);
  bool Circumfix(const FlagSet& Continuation) const;
  // Whether Prefix and Suffix combine on one word: both cross products, the
  // halves of a circumfix together, neither only for compounds, and not both
  // in need of another affix.
  bool Crosses(const AffixEntry& Prefix, const AffixEntry& Suffix) const;
  // The prefix classes among First and Second, each once.
  std::vector<Flag> PrefixClasses(const FlagSet& First, const FlagSet& Second) const;

  const AffixRules& FRules;
  std::uint64_t FMaxForms;
  std::uint64_t FMaxSteps;
  std::uint64_t FForms = 0;
  std::uint64_t FSteps = 0;
};

}  // namespace wordloom::detail
