#include "wordloom/checking/dictionary_set.h"

#include <algorithm>
#include <unordered_set>

#include "checking/likelihood_ranking.h"
#include "wordloom/dictionary/options.h"

namespace wordloom {

DictionarySet::DictionarySet() : FRanker(std::make_unique<detail::LikelihoodRanker>()) {}

DictionarySet::~DictionarySet() = default;

void DictionarySet::Add(TVelkSpellChecker& Checker) { FCheckers.push_back(&Checker); }

void DictionarySet::AddPersonalWord(const std::string& Word) {
  if (Word.empty()) return;
  if (!FPersonal) {
    FPersonal = std::make_unique<TVelkSpellChecker>(nullptr);
    FPersonal->SetSpellFileOptions({});
    FPersonal->SetDelimiterOption(wldExclFirstSucc);
    FPersonal->SetDelimiters(Utf8Delimiters());
    FPersonal->InitFirstSpellNode();
  }
  if (FPersonal->Frequency(Word) == 0) FPersonal->AddToSpell(Word);
}

bool DictionarySet::IsKnown(const std::string& Word, bool CaseSensitive,
                            const WordPredicate& AlsoKnown) {
  return IsKnownWordBy(
      [&](const std::string& w) {
        if (AlsoKnown && AlsoKnown(w)) return true;
        if (FPersonal && FPersonal->Frequency(w) > 0) return true;
        return std::any_of(FCheckers.begin(), FCheckers.end(),
                           [&w](TVelkSpellChecker* c) { return c->Frequency(w) > 0; });
      },
      Word, CaseSensitive);
}

std::uint32_t DictionarySet::Frequency(const std::string& Word) {
  std::uint32_t best = 0;
  const auto look = [&](TVelkSpellChecker& c) {
    for (const std::string& form : {Word, LowerCase(Word), Capitalised(Word)}) {
      best = std::max(best, c.Frequency(form));
    }
  };
  for (TVelkSpellChecker* c : FCheckers) look(*c);
  if (FPersonal) look(*FPersonal);
  return best;
}

std::vector<std::string> DictionarySet::Suggestions(const std::string& Word, std::size_t Limit,
                                                    bool CaseSensitive) {
  if (FCheckers.empty() || Limit == 0 || Word.empty()) return {};
  std::vector<std::vector<std::string>> lists;
  for (TVelkSpellChecker* c : FCheckers) lists.push_back(SuggestionsFor(*c, Word, Limit, CaseSensitive));
  if (FPersonal && FPersonal->WordCount() > 0) {
    FPersonal->SetSuggestionRanking(FCheckers.front()->SuggestionRanking());
    // The personal words are ranked in the primary dictionary's language.
    if (FPersonal->Language() != FCheckers.front()->Language()) {
      FPersonal->SetLanguage(FCheckers.front()->Language());
    }
    lists.push_back(SuggestionsFor(*FPersonal, Word, Limit, CaseSensitive));
  }
  const auto non_empty = std::count_if(lists.begin(), lists.end(),
                                       [](const auto& l) { return !l.empty(); });
  if (non_empty <= 1) {
    for (std::vector<std::string>& l : lists) {
      if (!l.empty()) return std::move(l);
    }
    return {};
  }
  // One order for all: the ranking's score, or with the sort methods the
  // weighted edit cost; ties keep each list's own order, the lists taken in
  // turn.
  const bool by_likelihood = FCheckers.front()->SuggestionRanking() == srkLikelihood;
  struct Entry {
    std::string Word;
    double Key;  // smaller first
    std::size_t Order;
  };
  std::vector<Entry> entries;
  std::unordered_set<std::string> seen;
  for (std::size_t i = 0; i < lists.size(); ++i) {
    // Each dictionary's corrections scored in its own language (the personal
    // words in the primary's).
    const TVelkSpellChecker& from = i < FCheckers.size() ? *FCheckers[i] : *FCheckers.front();
    FRanker->SetLanguage(detail::TypingLanguageFor(from.Language()));
    for (std::size_t j = 0; j < lists[i].size(); ++j) {
      const std::string& s = lists[i][j];
      if (!seen.insert(LowerCase(s)).second) continue;
      const detail::LikelihoodRanker::Scored scored = FRanker->ScoreCorrection(Word, s, Frequency(s));
      entries.push_back({s, by_likelihood ? -scored.Score : scored.Cost, j * lists.size() + i});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.Key != b.Key ? a.Key < b.Key : a.Order < b.Order;
  });
  std::vector<std::string> out;
  for (Entry& e : entries) {
    if (out.size() == Limit) break;
    out.push_back(std::move(e.Word));
  }
  return out;
}

void DictionarySet::SetSuggestionRanking(TSuggestionRanking Ranking) {
  for (TVelkSpellChecker* c : FCheckers) c->SetSuggestionRanking(Ranking);
}

}  // namespace wordloom
