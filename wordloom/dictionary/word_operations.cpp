// Adding, finding and deleting single words.
#include <vector>

#include "checking/compact_state.h"
#include "dictionary/word_trie.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

void TVelkWordloom::AddToSpell(const TByteString& Word) { AddWordNode(Word); }

std::int32_t TVelkWordloom::AddWordNode(const TByteString& Word) {
  if (FSpellFileOptions.Contains(wlsHardCoded)) {
    DoError(ErrorClass::Of<EPropertyError>(), "Cannot alter hardcoded spell file.");
    return -1;
  }
  if (Word.Size() == 0) {
    DoError(ErrorClass::Of<EConvertError>(), "Cannot add an empty string.");
    return -1;
  }
  std::int32_t node = 0;
  FCurrentNode = 0;
  const std::uint8_t token = FFormatChar.GetToken();
  detail::WordTrie& trie = *FNodeList;
  CompactBeforeChange();
  const std::uint32_t words_before = trie.WordCount();
  for (std::uint32_t i = 0; i < Word.Size(); ++i) {
    const std::uint8_t c = Word.Data()[i];
    if (c == token) {
      // When the report is handled, the token is taken like any other byte.
      DoError(ErrorClass::Of<EConvertError>(), "Cannot add a word containing the format char.");
    }
    // MakeLink, with the lookup inline: most steps find the child.
    const std::int32_t child = trie.FindChild(static_cast<std::uint32_t>(node), c);
    if (child >= 0) {
      node = FCurrentNode = child;
    } else {
      MakeLink(node, c);
    }
  }
  const std::int32_t word_node = node;
  EndWord(node);
  CompactAfterChange(trie.WordCount() > words_before ? &Word : nullptr);
  return word_node;
}

void TVelkWordloom::AddToSpell(std::string_view Word) {
  const TByteString word(Word);
  AddToSpell(word);
}

void TVelkWordloom::AddToSpell(std::string_view Word, std::uint32_t Times) {
  if (Times == 0) return;
  const std::int32_t known = WalkDown(Word);
  if (known >= 0) {
    const std::uint32_t w = FNodeList->WordNumber(static_cast<std::uint32_t>(known));
    if (w != 0 && FNodeList->Entry(w - 1).Frequency > UINT32_MAX - Times) {
      throw EIntOverflow(kIntOverflowMessage);
    }
  }
  const std::int32_t node = AddWordNode(TByteString(Word));
  if (node < 0) return;
  const std::uint32_t w = FNodeList->WordNumber(static_cast<std::uint32_t>(node));
  if (w != 0) FNodeList->Entry(w - 1).Frequency += Times - 1;
}

std::int32_t TVelkWordloom::WalkDown(std::string_view Word) {
  std::uint32_t node = 0;
  FCurrentNode = 0;
  for (char ch : Word) {
    const std::int32_t child = FNodeList->FindChild(node, static_cast<std::uint8_t>(ch));
    if (child < 0) return -1;
    node = static_cast<std::uint32_t>(child);
    FCurrentNode = child;
  }
  return static_cast<std::int32_t>(node);
}

std::uint32_t TVelkWordloom::Frequency(std::string_view Word) {
  if (Word.empty()) return 0;
  if (FNodeList.Pending()) {
    // Opened through a compact form and not changed since: the form answers.
    FCurrentNode = 0;
    const std::int64_t rank = FCompact->Form->Find(Word);
    return rank < 0 ? 0 : FCompact->Form->FrequencyAt(static_cast<std::uint32_t>(rank));
  }
  const std::int32_t node = WalkDown(Word);
  if (node < 0) return 0;
  const std::uint32_t w = FNodeList->WordNumber(static_cast<std::uint32_t>(node));
  return w == 0 ? 0 : FNodeList->Entry(w - 1).Frequency;
}

void TVelkWordloom::DeleteFromSpell(std::string_view Word) {
  const std::int32_t node = WalkDown(Word);
  if (node < 0 || FNodeList->WordNumber(static_cast<std::uint32_t>(node)) == 0) return;
  CompactBeforeChange();
  RemoveWord(static_cast<std::uint32_t>(node));
  CompactAfterChange(nullptr);
  // A deletion is a change that must reach the spell file.
  FSpellModified = true;
}

void TVelkWordloom::RemoveWord(std::uint32_t I) {
  detail::WordTrie& trie = *FNodeList;
  const std::uint32_t w = trie.WordNumber(I);
  std::vector<std::uint32_t> removed;
  FCurrentNode = static_cast<std::int32_t>(trie.RemoveWordPath(I, removed));
  // The last word takes over the deleted word's number.
  const std::uint32_t count = trie.WordCount();
  if (w != count) {
    const TWordEntry last = trie.Entry(count - 1);
    trie.Entry(w - 1) = last;
    trie.SetWordNumber(static_cast<std::uint32_t>(last.Node), w);
  }
  trie.SetWordCount(count - 1);
  trie.SetWordCapacity(count - 1);
  trie.CloseUp(std::move(removed),
               [this] { DoError(ErrorClass::Of<Exception>(), detail::kCorruptSpellIndex); });
  if (static_cast<std::uint32_t>(FCurrentNode) >= trie.NodeCount()) FCurrentNode = 0;
}

}  // namespace wordloom
