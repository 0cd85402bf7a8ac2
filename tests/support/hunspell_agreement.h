// Compares the forms an import made with Hunspell's own spell() on the same
// .aff/.dic: every form must be accepted, and near misses (one edit of a
// form that is not itself a form) must be rejected. Disagreements are sorted
// into classes with a second Hunspell that does not compound. Shared by the
// import's test (on samples) and its benchmark (on whole dictionaries).
// Needs <hunspell/hunspell.hxx> (libhunspell-dev).
#pragma once

#include <cstddef>
#include <clocale>
#include <cstdint>
#include <cwctype>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include <hunspell/hunspell.hxx>

namespace hunspell_agreement {

struct Result {
  std::size_t Forms = 0;           // distinct forms checked
  std::size_t FormsRejected = 0;   // of them, rejected by Hunspell
  std::size_t NearMisses = 0;      // edits that are no form, checked
  std::size_t NearMissesAccepted = 0;
  // Disagreements by class, with a few examples each.
  std::map<std::string, std::size_t> Classes;
  std::map<std::string, std::vector<std::string>> Examples;

  std::size_t Checked() const { return Forms + NearMisses; }
  std::size_t Disagreements() const { return FormsRejected + NearMissesAccepted; }
  double Agreement() const {
    return Checked() == 0 ? 1.0 : 1.0 - static_cast<double>(Disagreements()) / Checked();
  }
  // The agreement without the near misses that Hunspell accepts by rules
  // the checker has its own of (case forms, break points, numbers): how far
  // the list of forms itself agrees.
  double ListAgreement() const {
    std::size_t rules = 0;
    for (const auto& [cls, n] : Classes) {
      if (cls.find("case form") != std::string::npos || cls.find("break points") != std::string::npos ||
          cls.find("a number") != std::string::npos) {
        rules += n;
      }
    }
    return Checked() == rules ? 1.0
                              : 1.0 - static_cast<double>(Disagreements() - rules) / (Checked() - rules);
  }
  void Add(const std::string& cls, const std::string& word) {
    ++Classes[cls];
    auto& e = Examples[cls];
    if (e.size() < 5) e.push_back(word);
  }
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The .aff without its compounding lines (COMPOUND*, CHECKCOMPOUND*), written
// to Path: a Hunspell that accepts exactly the words without compounds.
inline void WriteAffWithoutCompounds(const std::string& aff, const std::string& path) {
  std::istringstream in(ReadAll(aff));
  std::ofstream out(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("COMPOUND", 0) == 0 || line.rfind("CHECKCOMPOUND", 0) == 0) continue;
    out << line << '\n';
  }
}

inline std::u32string Decode(const std::string& s) {
  std::u32string out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
    char32_t cp = n == 1 ? c : c & (0x3f >> (n - 1));
    for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
    i += n;
    out += cp;
  }
  return out;
}

inline std::string Encode(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xc0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xe0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
      out += static_cast<char>(0xf0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return out;
}

inline void UseUtf8CharacterClasses() {
  static const bool locale_set = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  (void)locale_set;
}

inline bool IsSmallLetter(char32_t c) {
  UseUtf8CharacterClasses();
  return std::iswlower(static_cast<wint_t>(c)) != 0;
}

// The letters near misses are made of: the small letters of the .aff's TRY
// line, else a-z. Capitals and punctuation would test Hunspell's case rules
// and break points (a trailing dot, a hyphen), which the checker has its own
// of, rather than the list of forms.
inline std::u32string TryLetters(const std::string& aff) {
  std::istringstream in(ReadAll(aff));
  std::string line;
  std::string letters = "abcdefghijklmnopqrstuvwxyz";
  while (std::getline(in, line)) {
    if (line.rfind("TRY ", 0) == 0) {
      letters = line.substr(4);
      while (!letters.empty() && (letters.back() == '\r' || letters.back() == ' ')) letters.pop_back();
      break;
    }
  }
  std::u32string out;
  for (char32_t c : Decode(letters)) {
    if (IsSmallLetter(c)) out += c;
  }
  return out;
}

// One edit of Form, chosen by Seed: a letter replaced, dropped, added or two
// swapped.
inline std::string NearMiss(const std::string& form, std::uint64_t seed, const std::u32string& letters) {
  std::u32string w = Decode(form);
  if (w.empty() || letters.empty()) return form;
  seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
  const std::size_t at = (seed >> 33) % w.size();
  const char32_t letter = letters[(seed >> 13) % letters.size()];
  switch ((seed >> 7) % 4) {
    case 0: w[at] = letter; break;
    case 1: if (w.size() > 2) w.erase(at, 1); else w += letter; break;
    case 2: w.insert(w.begin() + static_cast<std::ptrdiff_t>(at), letter); break;
    default: if (at + 1 < w.size()) std::swap(w[at], w[at + 1]); else w[at] = letter; break;
  }
  return Encode(w);
}

// The .dic words whose line ends in a space after the word (and no flags):
// Hunspell keeps the space in the word, so that no text matches them.
inline std::unordered_set<std::string> WordsWithTrailingSpace(const std::string& dic) {
  std::istringstream in(ReadAll(dic));
  std::unordered_set<std::string> out;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == ' ' && line.find_first_of("/\t") == std::string::npos) {
      line.erase(line.find_last_not_of(' ') + 1);
      out.insert(line);
    }
  }
  return out;
}

// Whether Word holds a capital letter (by the C.UTF-8 character classes).
inline bool HasCapital(const std::string& word) {
  UseUtf8CharacterClasses();
  for (char32_t c : Decode(word)) {
    if (std::iswupper(static_cast<wint_t>(c))) return true;
  }
  return false;
}

// Checks Forms (distinct, UTF-8) against Hunspell on Aff/Dic; every
// NearMissEvery-th form also gives a near miss. TempDir receives the .aff
// without compounds.
inline Result Compare(const std::unordered_set<std::string>& forms, const std::string& aff,
                      const std::string& dic, const std::string& temp_dir,
                      std::size_t near_miss_every = 1) {
  Result r;
  Hunspell full(aff.c_str(), dic.c_str());
  const std::string plain_aff = temp_dir + "/no-compounds.aff";
  WriteAffWithoutCompounds(aff, plain_aff);
  Hunspell plain(plain_aff.c_str(), dic.c_str());
  const std::u32string letters = TryLetters(aff);
  const std::unordered_set<std::string> spaced = WordsWithTrailingSpace(dic);
  std::uint64_t i = 0;
  for (const std::string& form : forms) {
    ++r.Forms;
    if (!full.spell(form)) {
      ++r.FormsRejected;
      int info = 0;
      full.spell(form, &info);
      if (info & SPELL_FORBIDDEN) {
        r.Add("form rejected: forbidden by a homonym", form);
      } else if (spaced.count(form) != 0) {
        r.Add("form rejected: its .dic line ends in a space, which Hunspell keeps", form);
      } else if (form.find('.') != std::string::npos) {
        r.Add("form rejected: holds a dot (Hunspell's break point)", form);
      } else {
        r.Add("form rejected: other", form);
      }
    }
    if (++i % near_miss_every != 0) continue;
    const std::string miss = NearMiss(form, i, letters);
    if (miss == form || forms.count(miss) != 0) continue;
    ++r.NearMisses;
    if (!full.spell(miss)) continue;
    ++r.NearMissesAccepted;
    if (!plain.spell(miss)) {
      r.Add("near miss accepted: a compound", miss);
    } else if (HasCapital(miss)) {
      r.Add("near miss accepted: a case form (the checker's case rule decides)", miss);
    } else if (miss.find_first_of("-.'") != std::string::npos) {
      r.Add("near miss accepted: parts at break points (- . ')", miss);
    } else if (miss.find_first_of("0123456789") != std::string::npos) {
      r.Add("near miss accepted: a number", miss);
    } else {
      r.Add("near miss accepted: other", miss);
    }
  }
  return r;
}

}  // namespace hunspell_agreement
