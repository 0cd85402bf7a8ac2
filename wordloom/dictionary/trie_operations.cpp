// The dictionary component's operations on its word trie and word table.
#include <string>

#include "checking/compact_state.h"
#include "dictionary/word_trie.h"
#include "storage/spell_body.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

void TVelkWordloom::InitSpellNode(std::uint32_t Parent, std::uint8_t Letter, TSpellNode& Node,
                                  std::uint8_t N) {
  Node = TSpellNode();
  Node.Parent = static_cast<std::int32_t>(Parent);
  Node.Letter = Letter;
  Node.ChildCount = N;
  Node.WordNumber = 0;
  if (N > 0) {
    Node.ChildLetters.assign(N, '\0');
    Node.Children.assign(N, 0);
  } else {
    // A node without children holds the token as a placeholder and one spare slot.
    Node.ChildLetters.assign(1, static_cast<char>(FFormatChar.GetToken()));
    Node.Children.assign(1, 0);
  }
}

void TVelkWordloom::InitFirstSpellNode() {
  TSpellNode root;
  InitSpellNode(static_cast<std::uint32_t>(-1), 0, root, 0);
  FNodeList->AppendNode(root);
}

void TVelkWordloom::MakeLink(std::int32_t& Node, std::uint8_t C) {
  const auto node = static_cast<std::uint32_t>(Node);
  const std::int32_t child = FNodeList->FindChild(node, C);
  if (child >= 0) {
    FCurrentNode = child;
  } else {
    FCurrentNode = static_cast<std::int32_t>(FNodeList->AddChild(node, C));
  }
  Node = FCurrentNode;
}

void TVelkWordloom::EndWord(std::int32_t& Node) {
  const auto node = static_cast<std::uint32_t>(Node);
  const std::uint32_t w = FNodeList->WordNumber(node);
  if (w != 0) {
    // A known word is counted once more.
    TWordEntry& entry = FNodeList->Entry(w - 1);
    if (entry.Frequency == UINT32_MAX) throw EIntOverflow(kIntOverflowMessage);
    ++entry.Frequency;
  } else {
    // A new word gets the next number; the table grows in steps of 16.
    const std::uint32_t count = FNodeList->WordCount();
    if (count == UINT32_MAX) throw EIntOverflow(kIntOverflowMessage);
    if (count + 1 > FNodeList->WordCapacity()) SetCapacity(FNodeList->WordCapacity() + 16);
    if (count + 1 <= FNodeList->WordCapacity()) {
      FNodeList->SetWordCount(count + 1);
      FNodeList->Entry(count) = TWordEntry{FCurrentNode, 1};
      FNodeList->SetWordNumber(node, count + 1);
      FSpellModified = true;
    }
  }
  // Back to the root for the next word.
  Node = 0;
  FCurrentNode = 0;
}

std::string TVelkWordloom::ExtractSpellWord(std::uint32_t I) const {
  TByteString b;
  ExtractSpellBStr(I, b);
  return b.GetString();
}

void TVelkWordloom::ExtractSpellBStr(std::uint32_t I, TByteString& B) const {
  B.SetSize(0);
  const std::uint32_t count = FNodeList->NodeCount();
  // Up to the root, whose parent is no index of the list. A path longer than
  // the node count would be a cycle: refuse it rather than loop.
  std::uint32_t node = I;
  for (std::uint32_t steps = 0; static_cast<std::uint32_t>(FNodeList->Parent(node)) < count;
       ++steps) {
    if (steps >= count) throw EListError("Corrupt spell index: a parent cycle");
    B.AddPrefix(FNodeList->Letter(node));
    node = static_cast<std::uint32_t>(FNodeList->Parent(node));
  }
}

// The record layout belongs to the spell file body (storage/spell_body.h).
void TVelkWordloom::GetNode(std::uint32_t I, TByteString& B, std::uint8_t Width) const {
  if (Width < 1 || Width > 4) throw ERangeError(kRangeErrorMessage);
  const std::uint32_t size = detail::NodeRecordSize(FNodeList->ChildCount(I), Width);
  const std::uint32_t at = B.Size();
  if (size > UINT32_MAX - at) throw EIntOverflow(kIntOverflowMessage);
  B.SetSize(at + size);
  detail::EncodeNodeRecord(*FNodeList, I, Width, B.Data() + at);
}

void TVelkWordloom::AddNode(TByteString& B, std::uint8_t Width) {
  if (Width < 1 || Width > 4) throw ERangeError(kRangeErrorMessage);
  detail::NodeRecord record;
  const std::uint32_t size = detail::DecodeNodeRecord(B.Data(), B.Size(), Width, record);
  // A record cut short is refused whole: B keeps its bytes and the list its nodes.
  if (size == 0) throw EIntOverflow(kIntOverflowMessage);
  // The root's parent reads back as all ones of the width; it is stored as -1
  // again, so that it is never taken for an index, whatever the node count.
  const std::int32_t parent =
      FNodeList->NodeCount() == 0 ? -1 : static_cast<std::int32_t>(record.Parent);
  FNodeList->AppendRecord(parent, record.Letter, record.Count, record.Letters.data(),
                          record.Children.data(), record.WordNumber);
  B.Replace(TByteString(), 0, size);
}

void TVelkWordloom::DisposeList() {
  FNodeList.Reset();
  FCompact.reset();
  FCurrentNode = 0;
}

std::uint32_t TVelkWordloom::GetNodeCount() const {
  // A dictionary opened through a compact form knows its node count without reading its nodes.
  if (FNodeList.Pending()) return FCompact->Form->NodeCount();
  return FNodeList->NodeCount();
}

void TVelkWordloom::SetNodeCount(std::uint32_t N) {
  if (Designing()) return;
  FNodeList->SetNodeCount(N);
}

void TVelkWordloom::SetCapacity(std::uint32_t N) {
  if (N < FNodeList->WordCount() || N > detail::WordTrie::kMaxWordCapacity) {
    DoError(ErrorClass::Of<EListError>(), "Word frequency table capacity out of bounds ");
    return;
  }
  FNodeList->SetWordCapacity(N);
}

void TVelkWordloom::SetWordCount(std::uint32_t N) {
  if (Designing()) return;
  const std::uint32_t count = FNodeList->WordCount();
  if (N > FNodeList->WordCapacity()) {
    SetCapacity(N);
    if (N > FNodeList->WordCapacity()) return;  // the report was handled
    for (std::uint32_t i = count; i < N; ++i) FNodeList->Entry(i) = TWordEntry{};
  } else if (N > count) {
    for (std::uint32_t i = count; i < N; ++i) FNodeList->Entry(i) = TWordEntry{};
  } else {
    if (FSpellFileOptions.Contains(wlsHardCoded)) {
      DoError(ErrorClass::Of<EListError>(), "List count out of bounds");
    }
    if (N < count) ReduceSpell(N);
  }
  FNodeList->SetWordCount(N);
}

TSpellNode TVelkWordloom::SpellNode(std::uint32_t I) const { return FNodeList->Node(I); }

TWordEntry TVelkWordloom::WordTableEntry(std::uint32_t Index) const {
  return FNodeList->Entry(Index);
}

std::size_t TVelkWordloom::TrieAllocatedBytes() const { return FNodeList->AllocatedBytes(); }

}  // namespace wordloom
