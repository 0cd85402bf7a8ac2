// Affix expansion, following the order in which Hunspell's affix check takes
// a word apart (prefix, suffix, prefix and suffix, two suffixes, prefix and
// two suffixes) so that the forms made are the forms it accepts; see
// affix_expander.h. A prefix's condition is tested on the word it is added to,
// which for a prefix with suffixes is the suffixed word, as Hunspell strips
// the prefix first.
#include "affix_expander.h"

#include <algorithm>

#include "wordloom/import/hunspell_import.h"

namespace wordloom::detail {

AffixExpander::AffixExpander(const AffixRules& Rules, std::uint64_t MaxForms,
                             std::uint64_t MaxSteps)
    : FRules(Rules), FMaxForms(MaxForms), FMaxSteps(MaxSteps) {}

bool AffixExpander::Try(const AffixEntry& Entry, std::string_view Word) {
  if (++FSteps > FMaxSteps) {
    throw EImportError("the affix rules take more than " + std::to_string(FMaxSteps) +
                       " steps to expand; refused as too large (a limit of the import)");
  }
  return Entry.AppliesTo(Word, FRules.FullStrip());
}

void AffixExpander::Put(const std::string& Form, const Emit& Out) {
  if (Form.empty()) return;
  if (++FForms > FMaxForms) {
    throw EImportError("the affix rules make more than " + std::to_string(FMaxForms) +
                       " forms; refused as too large (a limit of the import)");
  }
  Out(Form);
}

bool AffixExpander::Circumfix(const FlagSet& Continuation) const {
  return HasFlag(Continuation, FRules.Special().Circumfix);
}

bool AffixExpander::Crosses(const AffixEntry& Prefix, const AffixEntry& Suffix) const {
  const SpecialFlags& special = FRules.Special();
  return Prefix.Cross && Suffix.Cross && !HasFlag(Prefix.Continuation, special.OnlyInCompound) &&
         !HasFlag(Suffix.Continuation, special.OnlyInCompound) &&
         Circumfix(Prefix.Continuation) == Circumfix(Suffix.Continuation) &&
         !(HasFlag(Prefix.Continuation, special.NeedAffix) &&
           HasFlag(Suffix.Continuation, special.NeedAffix));
}

std::vector<Flag> AffixExpander::PrefixClasses(const FlagSet& First, const FlagSet& Second) const {
  std::vector<Flag> out;
  for (const FlagSet* set : {&First, &Second}) {
    for (Flag f : *set) {
      if (FRules.Prefixes(f) != nullptr) out.push_back(f);
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

void AffixExpander::Expand(const std::string& Word, const FlagSet& Flags, const Emit& Out) {
  const SpecialFlags& special = FRules.Special();
  if (HasFlag(Flags, special.ForbiddenWord) || HasFlag(Flags, special.OnlyInCompound)) return;
  if (!HasFlag(Flags, special.NeedAffix)) Put(Word, Out);
  static const FlagSet kNone;
  const std::vector<Flag> own_prefixes = PrefixClasses(Flags, kNone);

  // 1. A prefix alone: it must not need another affix, nor be only for compounds.
  for (Flag p : own_prefixes) {
    for (const AffixEntry& pe : *FRules.Prefixes(p)) {
      if (HasFlag(pe.Continuation, special.NeedAffix) ||
          HasFlag(pe.Continuation, special.OnlyInCompound) || !Try(pe, Word)) {
        continue;
      }
      Put(pe.Apply(Word), Out);
    }
  }

  // A prefix on a suffixed form.
  const auto prefix_on = [&](const AffixEntry& se, const std::string& suffixed,
                             const std::vector<Flag>& prefix_classes) {
    for (Flag p : prefix_classes) {
      for (const AffixEntry& pe : *FRules.Prefixes(p)) {
        if (Crosses(pe, se) && Try(pe, suffixed)) Put(pe.Apply(suffixed), Out);
      }
    }
  };

  for (Flag s : Flags) {
    const std::vector<AffixEntry>* suffixes = FRules.Suffixes(s);
    if (suffixes == nullptr) continue;
    for (const AffixEntry& se : *suffixes) {
      if (!Try(se, Word)) continue;
      const std::string f1 = se.Apply(Word);
      const bool only_in_compound = HasFlag(se.Continuation, special.OnlyInCompound);
      const bool circumfix = Circumfix(se.Continuation);
      // 2. A suffix alone.
      if (!only_in_compound && !circumfix && !HasFlag(se.Continuation, special.NeedAffix)) {
        Put(f1, Out);
      }
      if (only_in_compound) continue;
      // 3. A prefix of the word's own, or one the suffix allows, on the suffixed form.
      std::vector<Flag> crossing;
      if (se.Cross) {
        crossing = PrefixClasses(Flags, se.Continuation);
        prefix_on(se, f1, crossing);
      }
      // 4. A second suffix, named in the first one's continuation.
      for (Flag a2 : se.Continuation) {
        const std::vector<AffixEntry>* outer = FRules.Suffixes(a2);
        if (outer == nullptr) continue;
        for (const AffixEntry& se2 : *outer) {
          if (!Try(se2, f1)) continue;
          const std::string f2 = se2.Apply(f1);
          if (!circumfix) Put(f2, Out);
          if (!se2.Cross) continue;
          // 5. A prefix on both suffixes: one the outer suffix allows (the
          // inner one then stands as in 4), or else a crossing one.
          const std::vector<Flag> allowed = PrefixClasses(se2.Continuation, kNone);
          if (!circumfix) {
            for (Flag p : allowed) {
              for (const AffixEntry& pe : *FRules.Prefixes(p)) {
                if (pe.Cross && Try(pe, f2)) Put(pe.Apply(f2), Out);
              }
            }
          }
          std::vector<Flag> rest;
          for (Flag p : crossing) {
            if (!std::binary_search(allowed.begin(), allowed.end(), p)) rest.push_back(p);
          }
          for (Flag p : rest) {
            for (const AffixEntry& pe : *FRules.Prefixes(p)) {
              if (pe.Cross && Circumfix(pe.Continuation) == circumfix && Try(pe, f2)) {
                Put(pe.Apply(f2), Out);
              }
            }
          }
        }
      }
    }
  }

  // 6. A suffix that only a prefix's continuation allows (the word lacks its flag).
  for (Flag p : own_prefixes) {
    for (const AffixEntry& pe : *FRules.Prefixes(p)) {
      for (Flag s : pe.Continuation) {
        const std::vector<AffixEntry>* suffixes = FRules.Suffixes(s);
        if (suffixes == nullptr || HasFlag(Flags, s)) continue;
        for (const AffixEntry& se : *suffixes) {
          if (!Crosses(pe, se) || !Try(se, Word)) continue;
          const std::string f1 = se.Apply(Word);
          if (Try(pe, f1)) Put(pe.Apply(f1), Out);
        }
      }
    }
  }
}

}  // namespace wordloom::detail
