#include "checking/compact_state.h"

namespace wordloom::detail {

bool CompactState::Add(std::string_view Word) {
  if (AddedWords.size() >= kMaxAdded) return false;
  if (Added.NodeCount() == 0) Added.AppendRecord(-1, 0, 0, nullptr, nullptr, 0);
  std::uint32_t node = 0;
  for (char ch : Word) {
    const auto c = static_cast<std::uint8_t>(ch);
    const std::int32_t child = Added.FindChild(node, c);
    node = child >= 0 ? static_cast<std::uint32_t>(child) : Added.AddChild(node, c);
  }
  if (Added.WordNumber(node) != 0) return true;  // added, deleted and added again
  AddedWords.emplace_back(Word);
  const auto id = static_cast<std::uint32_t>(AddedWords.size());
  Added.SetWordNumber(node, id);
  AddedSound.Add(Word, id);
  AddedSound.Finish();
  return true;
}

CompactView CompactState::View(const WordTrie* Current) const {
  CompactView view;
  view.Form = Form.get();
  view.Current = Current;
  if (!AddedWords.empty()) {
    view.Added = &Added;
    view.AddedWords = &AddedWords;
    view.AddedSound = AddedSound.View();
  }
  return view;
}

}  // namespace wordloom::detail
