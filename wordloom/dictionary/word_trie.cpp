#include "dictionary/word_trie.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "wordloom/platform/exceptions.h"

namespace wordloom::detail {

namespace {

// The smallest block class whose capacity holds Count children.
std::uint8_t ClassFor(std::uint32_t count) {
  std::uint8_t c = 1;
  while ((1u << c) < count) ++c;
  return c;
}

}  // namespace

void WordTrie::NodeIndexError(std::uint32_t I) {
  throw EListError("List index out of bounds (" + std::to_string(I) + ")");
}

std::uint64_t WordTrie::NextRevision() {
  static std::atomic<std::uint64_t> revisions{0};
  return ++revisions;
}

std::uint32_t WordTrie::AllocBlock(std::uint8_t Class) {
  auto& free = FFreeBlocks[Class];
  if (!free.empty()) {
    const std::uint32_t offset = free.back();
    free.pop_back();
    return offset;
  }
  const std::size_t offset = FPool.size();
  if (offset + BlockWords(Class) > UINT32_MAX) throw EIntOverflow(kIntOverflowMessage);
  FPool.resize(offset + BlockWords(Class));
  return static_cast<std::uint32_t>(offset);
}

void WordTrie::RebuildMap(const NavNode& N) {
  if (N.ChildCount < 2 || N.BlockClass < kMappedClass) return;
  std::uint8_t* map = BlockMap(N.Child, N.BlockClass);
  std::memset(map, 0, 256);
  const std::uint8_t* letters = BlockLetters(N.Child);
  // The first child with a letter wins, as a scan would find it.
  for (std::uint32_t k = N.ChildCount; k-- > 0;) map[letters[k]] = static_cast<std::uint8_t>(k + 1);
}

void WordTrie::FreeBlock(NavNode& N) {
  if (N.BlockClass == 0) return;
  FFreeBlocks[N.BlockClass].push_back(N.Child);
  N.BlockClass = 0;
}

void WordTrie::ReserveChildren(NavNode& N, std::uint32_t Count) {
  if (Count <= 1) return;
  if (N.BlockClass != 0 && (1u << N.BlockClass) >= Count) return;
  const std::uint8_t cls = ClassFor(Count);
  const std::uint32_t offset = AllocBlock(cls);  // may move FPool, not the nodes
  std::uint8_t* letters = BlockLetters(offset);
  std::uint32_t* indices = BlockIndices(offset, cls);
  if (N.ChildCount == 1) {
    letters[0] = N.OnlyLetter;
    indices[0] = N.Child;
  } else if (N.ChildCount > 1) {
    std::memcpy(letters, BlockLetters(N.Child), N.ChildCount);
    std::memcpy(indices, BlockIndices(N.Child, N.BlockClass), N.ChildCount * sizeof(std::uint32_t));
    FreeBlock(N);
  }
  N.Child = offset;
  N.BlockClass = cls;
  RebuildMap(N);
}

std::uint32_t WordTrie::AppendNode(const TSpellNode& Node) {
  const std::uint32_t count = static_cast<std::uint32_t>(std::min<std::size_t>(
      {Node.ChildCount, Node.ChildLetters.size(), Node.Children.size()}));
  std::uint32_t children[kMaxChildren];
  for (std::uint32_t k = 0; k < count; ++k) {
    children[k] = static_cast<std::uint32_t>(Node.Children[k]);
  }
  return AppendRecord(Node.Parent, Node.Letter, static_cast<std::uint8_t>(count),
                      reinterpret_cast<const std::uint8_t*>(Node.ChildLetters.data()), children,
                      Node.WordNumber);
}

std::uint32_t WordTrie::AppendRecord(std::int32_t Parent, std::uint8_t Letter, std::uint8_t Count,
                                     const std::uint8_t* Letters, const std::uint32_t* Children,
                                     std::uint32_t WordNumber) {
  Touch();
  if (FNav.size() >= static_cast<std::size_t>(INT32_MAX)) throw EIntOverflow(kIntOverflowMessage);
  NavNode n;
  n.Letter = Letter;
  ReserveChildren(n, Count);
  n.ChildCount = Count;
  if (Count == 1) {
    n.OnlyLetter = Letters[0];
    n.Child = Children[0];
  } else if (Count > 1) {
    // Element by element: the arrays were just written that way, and wider
    // loads of them would wait for those stores.
    std::uint8_t* letters = BlockLetters(n.Child);
    std::uint32_t* indices = BlockIndices(n.Child, n.BlockClass);
    for (std::uint32_t k = 0; k < Count; ++k) {
      letters[k] = Letters[k];
      indices[k] = Children[k];
    }
  }
  RebuildMap(n);
  FNav.push_back(n);
  FLinks.push_back(NodeLinks{Parent, WordNumber});
  return static_cast<std::uint32_t>(FNav.size() - 1);
}

std::string WordTrie::FindFault() const {
  const std::uint32_t m = NodeCount();
  const std::uint32_t n = FWordCount;
  if (m == 0) return n == 0 ? std::string() : "words without nodes";
  // The root: no parent, no letter, and no word, as the empty word is never added.
  if (FLinks[0].Parent != -1 || FNav[0].Letter != 0) return "node 0 is not a root";
  if (FLinks[0].WordNumber != 0) return "the root carries a word";
  // One packed word per node, so that checking a link touches one place:
  // bits 0-7 the letter, 8-39 the parent, then three marks.
  constexpr std::uint64_t kLinked = std::uint64_t{1} << 40;
  constexpr std::uint64_t kReachesRoot = std::uint64_t{1} << 41;
  constexpr std::uint64_t kOnPath = std::uint64_t{1} << 42;
  constexpr std::uint64_t kKey = (std::uint64_t{1} << 40) - 1;
  auto key = [](std::uint32_t parent, std::uint8_t letter) {
    return std::uint64_t{parent} << 8 | letter;
  };
  std::vector<std::uint64_t> info(m);
  for (std::uint32_t i = 0; i < m; ++i) {
    info[i] = key(static_cast<std::uint32_t>(FLinks[i].Parent), FNav[i].Letter);
  }
  // Children and parents agree; each node but the root is linked once.
  for (std::uint32_t i = 0; i < m; ++i) {
    const NavNode& node = FNav[i];
    if (node.ChildCount == 0) continue;
    const std::uint8_t* letters = node.ChildCount == 1 ? &node.OnlyLetter : BlockLetters(node.Child);
    const std::uint32_t* indices =
        node.ChildCount == 1 ? &node.Child : BlockIndices(node.Child, node.BlockClass);
    std::uint64_t seen[4] = {0, 0, 0, 0};
    for (std::uint32_t k = 0; k < node.ChildCount; ++k) {
      const std::uint8_t letter = letters[k];
      const std::uint32_t child = indices[k];
      if (child == 0 || child >= m) {
        return "node " + std::to_string(i) + ": child index " + std::to_string(child) +
               " outside the node list";
      }
      std::uint64_t& bit = seen[letter >> 6];
      if ((bit >> (letter & 63)) & 1u) return "node " + std::to_string(i) + ": child letter repeated";
      bit |= std::uint64_t{1} << (letter & 63);
      std::uint64_t& c = info[child];
      if ((c & kKey) != key(i, letter)) {
        if (FLinks[child].Parent != static_cast<std::int32_t>(i)) {
          return "node " + std::to_string(child) + ": its parent is " +
                 std::to_string(FLinks[child].Parent) + ", but node " + std::to_string(i) +
                 " links it";
        }
        return "node " + std::to_string(child) + ": its letter differs from its parent's link";
      }
      if (c & kLinked) return "node " + std::to_string(child) + " is linked twice";
      c |= kLinked;
    }
  }
  // Nodes linked once each can still form a cycle apart from the root: walk
  // up from every node, marking the nodes known to reach the root.
  info[0] |= kReachesRoot;
  std::vector<std::uint32_t> path;
  for (std::uint32_t i = 1; i < m; ++i) {
    if ((info[i] & kLinked) == 0) return "node " + std::to_string(i) + " is not linked from its parent";
    std::uint32_t j = i;
    path.clear();
    while ((info[j] & (kReachesRoot | kOnPath)) == 0) {
      info[j] |= kOnPath;
      path.push_back(j);
      j = static_cast<std::uint32_t>(FLinks[j].Parent);
    }
    // Stopped at a node on this very path, not at one that reaches the root: a cycle.
    if ((info[j] & kReachesRoot) == 0) {
      return std::to_string(path.size()) + " nodes are not reachable from the root";
    }
    for (std::uint32_t k : path) info[k] |= kReachesRoot;
  }
  // Word numbers and word entries name each other.
  for (std::uint32_t i = 0; i < m; ++i) {
    const std::uint32_t w = FLinks[i].WordNumber;
    if (w == 0) continue;
    if (w > n) {
      return "node " + std::to_string(i) + ": word number " + std::to_string(w) +
             " above the word count " + std::to_string(n);
    }
    if (FWordTable[w - 1].Node != static_cast<std::int32_t>(i)) {
      return "node " + std::to_string(i) + " carries word number " + std::to_string(w) +
             ", whose entry names node " + std::to_string(FWordTable[w - 1].Node);
    }
  }
  for (std::uint32_t w = 1; w <= n; ++w) {
    const std::int32_t at = FWordTable[w - 1].Node;
    if (at < 0 || static_cast<std::uint32_t>(at) >= m ||
        FLinks[static_cast<std::uint32_t>(at)].WordNumber != w) {
      return "word entry " + std::to_string(w) + " names node " + std::to_string(at) +
             ", which does not carry that word";
    }
  }
  return std::string();
}

TSpellNode WordTrie::Node(std::uint32_t I) const {
  const NavNode& n = At(I);
  TSpellNode out;
  out.Parent = FLinks[I].Parent;
  out.Letter = n.Letter;
  out.ChildCount = n.ChildCount;
  out.WordNumber = FLinks[I].WordNumber;
  ForEachChild(I, [&](std::uint8_t letter, std::uint32_t child) {
    out.ChildLetters += static_cast<char>(letter);
    out.Children.push_back(static_cast<std::int32_t>(child));
  });
  return out;
}

std::uint32_t WordTrie::AddChild(std::uint32_t I, std::uint8_t C) {
  Touch();
  if (At(I).ChildCount == kMaxChildren) throw EIntOverflow(kIntOverflowMessage);
  TSpellNode child;
  child.Parent = static_cast<std::int32_t>(I);
  child.Letter = C;
  const std::uint32_t index = AppendNode(child);
  NavNode& n = FNav[I];  // after the append, which may have moved the nodes
  const std::uint32_t count = n.ChildCount + 1u;
  if (count == 1) {
    n.OnlyLetter = C;
    n.Child = index;
  } else {
    ReserveChildren(n, count);
    BlockLetters(n.Child)[count - 1] = C;
    BlockIndices(n.Child, n.BlockClass)[count - 1] = index;
    if (n.BlockClass >= kMappedClass) {
      std::uint8_t& at = BlockMap(n.Child, n.BlockClass)[C];
      if (at == 0) at = static_cast<std::uint8_t>(count);
    }
  }
  n.ChildCount = static_cast<std::uint8_t>(count);
  return index;
}

void WordTrie::RemoveChildLink(std::uint32_t I, std::uint32_t Child) {
  NavNode& n = At(I);
  if (n.ChildCount == 1) {
    if (n.Child == Child) n.ChildCount = 0;
    return;
  }
  if (n.ChildCount == 0) return;
  std::uint8_t* letters = BlockLetters(n.Child);
  std::uint32_t* indices = BlockIndices(n.Child, n.BlockClass);
  const std::uint32_t count = n.ChildCount;
  const std::uint32_t k = static_cast<std::uint32_t>(std::find(indices, indices + count, Child) - indices);
  if (k == count) return;
  std::memmove(letters + k, letters + k + 1, count - k - 1);
  std::memmove(indices + k, indices + k + 1, (count - k - 1) * sizeof(std::uint32_t));
  n.ChildCount = static_cast<std::uint8_t>(count - 1);
  RebuildMap(n);
  if (n.ChildCount == 1) {
    // Back to the inline form.
    n.OnlyLetter = letters[0];
    const std::uint32_t only = indices[0];
    FreeBlock(n);
    n.Child = only;
  }
}

bool WordTrie::RelinkChild(std::uint32_t Parent, std::uint8_t Letter, std::uint32_t From,
                           std::uint32_t To) {
  NavNode& n = At(Parent);
  if (n.ChildCount == 1) {
    if (n.OnlyLetter != Letter) return false;
    if (n.Child == From) n.Child = To;
    return true;
  }
  if (n.ChildCount == 0) return false;
  const std::uint8_t* letters = BlockLetters(n.Child);
  std::uint32_t* indices = BlockIndices(n.Child, n.BlockClass);
  // Found by its letter, as the parent knows it.
  const void* hit = std::memchr(letters, Letter, n.ChildCount);
  if (hit == nullptr) return false;
  const auto k = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(hit) - letters);
  if (indices[k] == From) indices[k] = To;
  return true;
}

void WordTrie::SetNodeCount(std::uint32_t N) {
  Touch();
  if (N > static_cast<std::uint32_t>(INT32_MAX)) throw ERangeError(kRangeErrorMessage);
  for (std::uint32_t i = N; i < FNav.size(); ++i) FreeBlock(FNav[i]);
  FNav.resize(N);
  FLinks.resize(N);
}

TWordEntry& WordTrie::Entry(std::uint32_t Index) {
  if (Index >= FWordCapacity) throw ERangeError(kRangeErrorMessage);
  return FWordTable[Index];
}

const TWordEntry& WordTrie::Entry(std::uint32_t Index) const {
  if (Index >= FWordCapacity) throw ERangeError(kRangeErrorMessage);
  return FWordTable[Index];
}

void WordTrie::SetWordCapacity(std::uint32_t N) {
  if (N == FWordCapacity) return;
  if (N == 0) {
    std::vector<TWordEntry>().swap(FWordTable);
  } else {
    // resize grows the storage geometrically, so the steps of 16 stay cheap.
    FWordTable.resize(N);
  }
  FWordCapacity = N;
}

std::uint32_t WordTrie::RemoveWordPath(std::uint32_t I, std::vector<std::uint32_t>& Removed) {
  Touch();
  SetWordNumber(I, 0);
  std::uint32_t node = I;
  while (node != 0 && ChildCount(node) == 0 && WordNumber(node) == 0) {
    const std::int32_t parent = Parent(node);
    if (parent < 0 || static_cast<std::uint32_t>(parent) >= NodeCount()) break;
    RemoveChildLink(static_cast<std::uint32_t>(parent), node);
    FreeBlock(FNav[node]);
    Removed.push_back(node);
    node = static_cast<std::uint32_t>(parent);
  }
  return node;
}

void WordTrie::CloseUp(std::vector<std::uint32_t> Removed, const std::function<void()>& Corrupt) {
  Touch();
  if (Removed.empty()) return;
  std::sort(Removed.begin(), Removed.end());
  Removed.erase(std::unique(Removed.begin(), Removed.end()), Removed.end());
  // Fill the lowest free index with the last node that survives, until every
  // free index lies at the end of the list.
  std::size_t lo = 0;
  std::size_t hi = Removed.size();
  std::uint32_t last = NodeCount();
  while (lo < hi) {
    --last;
    if (hi > lo && Removed[hi - 1] == last) {
      --hi;  // the last node is itself removed: just drop it
      continue;
    }
    const std::uint32_t to = Removed[lo++];
    FNav[to] = FNav[last];
    const NodeLinks moved = FLinks[last];
    FLinks[to] = moved;
    // Rewrite the references to the moved node.
    if (moved.Parent >= 0 && static_cast<std::uint32_t>(moved.Parent) < NodeCount()) {
      if (!RelinkChild(static_cast<std::uint32_t>(moved.Parent), FNav[to].Letter, last, to)) {
        Corrupt();
      }
    }
    ForEachChild(to, [&](std::uint8_t, std::uint32_t child) {
      if (child < NodeCount()) FLinks[child].Parent = static_cast<std::int32_t>(to);
    });
    if (moved.WordNumber != 0 && moved.WordNumber <= FWordCount) {
      FWordTable[moved.WordNumber - 1].Node = static_cast<std::int32_t>(to);
    }
  }
  const std::size_t remaining = NodeCount() - Removed.size();
  FNav.resize(remaining);
  FLinks.resize(remaining);
}

void WordTrie::Clear() {
  Touch();
  std::vector<NavNode>().swap(FNav);
  std::vector<NodeLinks>().swap(FLinks);
  std::vector<std::uint32_t>().swap(FPool);
  for (auto& f : FFreeBlocks) std::vector<std::uint32_t>().swap(f);
  std::vector<TWordEntry>().swap(FWordTable);
  FWordCount = 0;
  FWordCapacity = 0;
}

std::size_t WordTrie::AllocatedBytes() const {
  std::size_t bytes = FNav.capacity() * sizeof(NavNode) + FLinks.capacity() * sizeof(NodeLinks) +
                      FPool.capacity() * sizeof(std::uint32_t) +
                      FWordTable.capacity() * sizeof(TWordEntry);
  for (const auto& f : FFreeBlocks) bytes += f.capacity() * sizeof(std::uint32_t);
  return bytes;
}

}  // namespace wordloom::detail
