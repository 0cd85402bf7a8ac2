// Reads a Hunspell .aff file (hunspell(5)) into the rules the expansion
// needs. Keywords that only serve suggestions, morphology or compounding
// (TRY, REP, MAP, KEY, AM, COMPOUND*, ...) are passed over; a table's count
// is never trusted: its entries are the lines that follow, each checked.
#include "affix_rules.h"

#include <algorithm>
#include <charconv>

#include "wordloom/import/hunspell_import.h"
#include "wordloom/text/unicode_words.h"

namespace wordloom::detail {

namespace {

// The largest flag FLAG num and long allow (Hunspell keeps flags in 16 bits).
constexpr Flag kLargestFlag = 65535;

// One line of the .aff: its number (from 1) and its fields, parted by
// spaces and tabs.
struct AffLine {
  std::size_t Number = 0;
  std::vector<std::string_view> Fields;
};

std::vector<AffLine> SplitAffLines(std::string_view aff) {
  if (aff.substr(0, 3) == "\xEF\xBB\xBF") aff.remove_prefix(3);  // a byte-order mark
  std::vector<AffLine> lines;
  std::size_t start = 0, number = 0;
  while (start < aff.size()) {
    std::size_t end = aff.find('\n', start);
    if (end == std::string_view::npos) end = aff.size();
    std::string_view line = aff.substr(start, end - start);
    start = end + 1;
    AffLine l;
    l.Number = ++number;
    std::size_t pos = 0;
    while (pos < line.size()) {
      while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r')) ++pos;
      const std::size_t from = pos;
      while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t' && line[pos] != '\r') ++pos;
      if (pos > from) l.Fields.push_back(line.substr(from, pos - from));
    }
    lines.push_back(std::move(l));
  }
  return lines;
}

bool ParseCount(std::string_view text, std::size_t& count) {
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
  return ec == std::errc() && ptr == text.data() + text.size();
}

std::vector<ConditionElement> ParseCondition(std::string_view text) {
  std::vector<ConditionElement> out;
  if (text == ".") return out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    ConditionElement e;
    const char32_t c = NextCodePoint(text, pos);
    if (c == '.') {
      e.Any = true;
    } else if (c == '[') {
      if (pos < text.size() && text[pos] == '^') {
        e.Negated = true;
        ++pos;
      }
      // An unclosed set runs to the end of the condition.
      while (pos < text.size()) {
        const char32_t m = NextCodePoint(text, pos);
        if (m == ']') break;
        e.Chars += m;
      }
    } else {
      e.Chars += c;
    }
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace

bool HasFlag(const FlagSet& Flags, Flag F) {
  return F != 0 && std::binary_search(Flags.begin(), Flags.end(), F);
}

bool ConditionElement::Matches(char32_t C) const {
  if (Any) return true;
  const bool in = Chars.find(C) != std::u32string::npos;
  return in != Negated;
}

bool AffixEntry::AppliesTo(std::string_view Word, bool FullStrip) const {
  if (Word.size() < Strip.size() || (Word.size() == Strip.size() && !FullStrip)) return false;
  if (Prefix) {
    if (Word.compare(0, Strip.size(), Strip) != 0) return false;
    std::size_t pos = 0;
    for (const ConditionElement& e : Condition) {
      if (pos >= Word.size() || !e.Matches(NextCodePoint(Word, pos))) return false;
    }
    return true;
  }
  if (Word.compare(Word.size() - Strip.size(), Strip.size(), Strip) != 0) return false;
  std::size_t end = Word.size();
  for (auto e = Condition.rbegin(); e != Condition.rend(); ++e) {
    if (end == 0) return false;
    std::size_t start = end - 1;
    while (start > 0 && (static_cast<unsigned char>(Word[start]) & 0xc0) == 0x80) --start;
    std::size_t pos = start;
    if (!e->Matches(NextCodePoint(Word, pos))) return false;
    end = start;
  }
  return true;
}

std::string AffixEntry::Apply(std::string_view Word) const {
  std::string out;
  out.reserve(Word.size() + Add.size());
  if (Prefix) {
    out.append(Add);
    out.append(Word.substr(Strip.size()));
  } else {
    out.append(Word.substr(0, Word.size() - Strip.size()));
    out.append(Add);
  }
  return out;
}

bool ConversionTable::Add(std::string Pattern, std::string Replacement) {
  if (FRules.size() >= kMaxRules) return false;
  Rule r;
  if (!Pattern.empty() && Pattern.front() == '^') {
    r.AtStart = true;
    Pattern.erase(0, 1);
  }
  if (!Pattern.empty() && Pattern.back() == '$') {
    r.AtEnd = true;
    Pattern.pop_back();
  }
  if (Pattern.empty()) return true;
  r.Pattern = std::move(Pattern);
  r.Replacement = std::move(Replacement);
  FRules.push_back(std::move(r));
  return true;
}

std::string ConversionTable::Apply(std::string_view Word) const {
  if (FRules.empty()) return std::string(Word);
  std::string out;
  std::size_t i = 0;
  while (i < Word.size()) {
    const Rule* best = nullptr;
    for (const Rule& r : FRules) {
      if (r.AtStart && i != 0) continue;
      if (Word.compare(i, r.Pattern.size(), r.Pattern) != 0) continue;
      if (r.AtEnd && i + r.Pattern.size() != Word.size()) continue;
      // The longest pattern wins; of equal ones, the anchored.
      if (best == nullptr || r.Pattern.size() > best->Pattern.size() ||
          (r.Pattern.size() == best->Pattern.size() &&
           (r.AtStart + r.AtEnd) > (best->AtStart + best->AtEnd))) {
        best = &r;
      }
    }
    if (best == nullptr) {
      out += Word[i++];
    } else {
      out += best->Replacement;
      i += best->Pattern.size();
    }
  }
  return out;
}

AffixRules::AffixRules(std::string_view Aff, const std::string& Name,
                       const std::function<void(const std::string&)>& Warn) {
  const std::vector<AffLine> lines = SplitAffLines(Aff);
  const auto where = [&Name](const AffLine& l) { return Name + ":" + std::to_string(l.Number) + ": "; };
  // SET and FLAG first: they decide how every other line reads, wherever they stand.
  for (const AffLine& l : lines) {
    if (l.Fields.size() < 2) continue;
    if (l.Fields[0] == "SET" && FEncoding == "ISO8859-1") FEncoding = std::string(l.Fields[1]);
    if (l.Fields[0] == "FLAG") {
      if (l.Fields[1] == "long") FFlagType = FlagType::kLong;
      else if (l.Fields[1] == "num") FFlagType = FlagType::kNum;
      else if (l.Fields[1] == "UTF-8") FFlagType = FlagType::kUtf8;
      else Warn(where(l) + "unknown flag type " + std::string(l.Fields[1]));
    }
  }
  FConverter = std::make_unique<TextConverter>(FEncoding);
  const auto text = [&](const AffLine& l, std::string_view field, std::string& out) {
    if (FConverter->ToUtf8(field, out)) return true;
    Warn(where(l) + "not " + FEncoding + " text; entry passed over");
    return false;
  };

  std::size_t i = 0;
  // The lines of a table whose header is lines[i]: its count, never trusted
  // (the lines must be there), each line led by the same keyword.
  const auto table = [&](std::string_view keyword, const std::function<void(const AffLine&)>& entry) {
    const AffLine& header = lines[i];
    std::size_t count = 0;
    if (header.Fields.size() < 2 || !ParseCount(header.Fields[1], count)) {
      throw EImportError(where(header) + std::string(keyword) + ": the number of entries is missing");
    }
    for (std::size_t k = 0; k < count; ++k) {
      if (i + 1 >= lines.size() || lines[i + 1].Fields.empty() || lines[i + 1].Fields[0] != keyword) {
        throw EImportError(where(header) + std::string(keyword) + " table has fewer than the " +
                           std::to_string(count) + " entries it announces");
      }
      ++i;
      entry(lines[i]);
    }
  };

  for (; i < lines.size(); ++i) {
    const AffLine& l = lines[i];
    if (l.Fields.empty()) continue;
    const std::string_view key = l.Fields[0];
    const std::string_view value = l.Fields.size() > 1 ? l.Fields[1] : std::string_view();
    if (key == "AF") {
      table("AF", [&](const AffLine& e) {
        FAliases.push_back(e.Fields.size() > 1 ? DecodeFlagsRaw(e.Fields[1], Warn) : FlagSet());
      });
    } else if (key == "AM" || key == "ICONV" || key == "REP" || key == "MAP" ||
               key == "PHONE" || key == "CHECKCOMPOUNDPATTERN" || key == "COMPOUNDRULE") {
      if (key == "COMPOUNDRULE") FCompounding = true;
      // Tables of no use to a list of forms: read past, as tables.
      if (l.Fields.size() >= 2 && l.Fields[1].find_first_not_of("0123456789") == std::string_view::npos) {
        table(key, [](const AffLine&) {});
      }
    } else if (key == "OCONV") {
      table("OCONV", [&](const AffLine& e) {
        std::string from, to;
        if (e.Fields.size() >= 3 && text(e, e.Fields[1], from) && text(e, e.Fields[2], to) &&
            !FOutput.Add(std::move(from), std::move(to))) {
          throw EImportError(where(e) + "OCONV table of more than " +
                             std::to_string(ConversionTable::kMaxRules) + " entries; refused as too large");
        }
      });
    } else if (key == "PFX" || key == "SFX") {
      if (l.Fields.size() < 4) throw EImportError(where(l) + std::string(key) + " header is incomplete");
      const Flag cls = DecodeOneFlag(l.Fields[1]);
      const bool cross = l.Fields[2] == "Y";
      const bool prefix = key == "PFX";
      auto& entries = prefix ? FPrefixes[cls] : FSuffixes[cls];
      std::size_t count = 0;
      if (!ParseCount(l.Fields[3], count)) {
        throw EImportError(where(l) + std::string(key) + " header: the number of entries is missing");
      }
      for (std::size_t k = 0; k < count; ++k) {
        if (i + 1 >= lines.size() || lines[i + 1].Fields.size() < 4 || lines[i + 1].Fields[0] != key ||
            DecodeOneFlag(lines[i + 1].Fields[1]) != cls) {
          throw EImportError(where(l) + "affix class " + std::string(l.Fields[1]) +
                             " has fewer than the " + std::to_string(count) +
                             " entries it announces");
        }
        const AffLine& e = lines[++i];
        AffixEntry entry;
        entry.Class = cls;
        entry.Prefix = prefix;
        entry.Cross = cross;
        std::string_view add = e.Fields[3];
        std::string_view cont;
        if (const std::size_t slash = add.find('/'); slash != std::string_view::npos) {
          cont = add.substr(slash + 1);
          add = add.substr(0, slash);
        }
        std::string strip_text, add_text, condition_text = ".";
        if (!text(e, e.Fields[2] == "0" ? std::string_view() : e.Fields[2], strip_text) ||
            !text(e, add == "0" ? std::string_view() : add, add_text) ||
            (e.Fields.size() > 4 && !text(e, e.Fields[4], condition_text))) {
          continue;
        }
        entry.Strip = std::move(strip_text);
        entry.Add = std::move(add_text);
        entry.Condition = ParseCondition(condition_text);
        if (!cont.empty()) {
          entry.Continuation = DecodeFlags(cont, [&](const std::string& m) { Warn(where(e) + m); });
        }
        entries.push_back(std::move(entry));
      }
    } else if (key == "NEEDAFFIX" || key == "PSEUDOROOT") {
      FSpecial.NeedAffix = DecodeOneFlag(value);
    } else if (key == "CIRCUMFIX") {
      FSpecial.Circumfix = DecodeOneFlag(value);
    } else if (key == "FORBIDDENWORD") {
      FSpecial.ForbiddenWord = DecodeOneFlag(value);
    } else if (key == "ONLYINCOMPOUND") {
      FSpecial.OnlyInCompound = DecodeOneFlag(value);
    } else if (key == "KEEPCASE") {
      FSpecial.KeepCase = DecodeOneFlag(value);
    } else if (key == "FULLSTRIP") {
      FFullStrip = true;
    } else if (key == "IGNORE") {
      std::string chars;
      if (text(l, value, chars)) FIgnore = std::move(chars);
    } else if (key == "COMPOUNDFLAG" || key == "COMPOUNDBEGIN" || key == "COMPOUNDMIDDLE" ||
               key == "COMPOUNDEND" || key == "COMPOUNDLAST") {
      FCompounding = true;
    } else if (key == "COMPLEXPREFIXES") {
      Warn(where(l) + "COMPLEXPREFIXES (right-to-left scripts) is not supported; affixes read as usual");
    }
  }
  // Hunspell removes the IGNORE characters from the affixes as from the words.
  if (!FIgnore.empty()) {
    for (auto* table_of_classes : {&FPrefixes, &FSuffixes}) {
      for (auto& [cls, entries] : *table_of_classes) {
        for (AffixEntry& e : entries) {
          e.Strip = WithoutIgnored(e.Strip);
          e.Add = WithoutIgnored(e.Add);
        }
      }
    }
  }
}

Flag AffixRules::DecodeOneFlag(std::string_view Field) const {
  if (Field.empty()) return 0;
  // The first flag of the field, as Hunspell's decode_flag takes it.
  switch (FFlagType) {
    case FlagType::kChar:
      return static_cast<unsigned char>(Field[0]);
    case FlagType::kLong:
      return (Flag{static_cast<unsigned char>(Field[0])} << 8) |
             (Field.size() >= 2 ? static_cast<unsigned char>(Field[1]) : 0u);
    case FlagType::kNum: {
      Flag f = 0;
      std::from_chars(Field.data(), Field.data() + Field.size(), f);
      return f <= kLargestFlag ? f : 0;
    }
    case FlagType::kUtf8: {
      std::size_t pos = 0;
      return IsValidUtf8(Field) ? NextCodePoint(Field, pos) : 0;
    }
  }
  return 0;
}

FlagSet AffixRules::DecodeFlagsRaw(std::string_view Field,
                                   const std::function<void(const std::string&)>& Warn) const {
  FlagSet out;
  switch (FFlagType) {
    case FlagType::kChar:
      for (char c : Field) out.push_back(static_cast<unsigned char>(c));
      break;
    case FlagType::kLong:
      if (Field.size() % 2 != 0) Warn("odd number of characters in a long flag field");
      for (std::size_t k = 0; k + 1 < Field.size(); k += 2) {
        out.push_back((Flag{static_cast<unsigned char>(Field[k])} << 8) |
                      static_cast<unsigned char>(Field[k + 1]));
      }
      break;
    case FlagType::kNum: {
      std::size_t pos = 0;
      while (pos <= Field.size()) {
        std::size_t comma = Field.find(',', pos);
        if (comma == std::string_view::npos) comma = Field.size();
        const std::string_view number = Field.substr(pos, comma - pos);
        Flag f = 0;
        const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), f);
        if (ec != std::errc() || f == 0 || f > kLargestFlag) {
          Warn("bad number flag " + std::string(number));
        } else {
          out.push_back(f);
        }
        pos = comma + 1;
      }
      break;
    }
    case FlagType::kUtf8: {
      if (!IsValidUtf8(Field)) {
        Warn("a UTF-8 flag field that is no UTF-8");
        break;
      }
      std::size_t pos = 0;
      while (pos < Field.size()) out.push_back(NextCodePoint(Field, pos));
      break;
    }
  }
  out.erase(std::remove(out.begin(), out.end(), Flag{0}), out.end());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

FlagSet AffixRules::DecodeFlags(std::string_view Field,
                                const std::function<void(const std::string&)>& Warn) const {
  if (FAliases.empty()) return DecodeFlagsRaw(Field, Warn);
  std::size_t index = 0;
  const auto [ptr, ec] = std::from_chars(Field.data(), Field.data() + Field.size(), index);
  if (ec != std::errc() || index == 0 || index > FAliases.size()) {
    Warn("bad flag alias " + std::string(Field));
    return {};
  }
  return FAliases[index - 1];
}

const std::vector<AffixEntry>* AffixRules::Prefixes(Flag F) const {
  const auto it = FPrefixes.find(F);
  return it == FPrefixes.end() ? nullptr : &it->second;
}

const std::vector<AffixEntry>* AffixRules::Suffixes(Flag F) const {
  const auto it = FSuffixes.find(F);
  return it == FSuffixes.end() ? nullptr : &it->second;
}

std::string AffixRules::WithoutIgnored(std::string_view Text) const {
  if (FIgnore.empty()) return std::string(Text);
  std::u32string ignored;
  for (std::size_t pos = 0; pos < FIgnore.size();) ignored += NextCodePoint(FIgnore, pos);
  std::string out;
  for (std::size_t pos = 0; pos < Text.size();) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(Text, pos);
    if (ignored.find(c) == std::u32string::npos) out.append(Text.substr(start, pos - start));
  }
  return out;
}

}  // namespace wordloom::detail
