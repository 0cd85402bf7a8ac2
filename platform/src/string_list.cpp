#include "wordloom/platform/string_list.h"

#include <algorithm>
#include <string>
#include <utility>

#include "wordloom/platform/exceptions.h"

namespace wordloom {

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = FoldCase(static_cast<std::uint8_t>(a[i]));
    const int cb = FoldCase(static_cast<std::uint8_t>(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareStr(std::string_view a, std::string_view b) {
  const int c = a.compare(b);  // char_traits<char>::compare orders bytes as unsigned
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

const std::string& TStringList::operator[](int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[static_cast<std::size_t>(Index)];
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

void TStringList::SetSorted(bool Value) {
  if (Value && !FSorted) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}

int TStringList::Add(std::string S) {
  if (!FSorted) {
    FItems.push_back(std::move(S));
    return Count() - 1;
  }
  int index = 0;
  if (Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore: return index;
      case dupError: throw EListError("String list does not allow duplicates");
      case dupAccept: break;
    }
  }
  FItems.insert(FItems.begin() + index, std::move(S));
  return index;
}

void TStringList::Insert(int Index, const std::string& S) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > Count()) IndexError(Index);
  FItems.insert(FItems.begin() + Index, S);
}

void TStringList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems.erase(FItems.begin() + Index);
}

void TStringList::Put(int Index, const std::string& S) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  if (Index < 0 || Index >= Count()) IndexError(Index);
  FItems[static_cast<std::size_t>(Index)] = S;
}

void TStringList::Clear() { FItems.clear(); }

bool TStringList::Find(std::string_view S, int& Index) const {
  // Lower bound; with dupAccept the first of equal strings is found.
  int lo = 0;
  int hi = Count();
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (CompareStrings(FItems[static_cast<std::size_t>(mid)], S) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  Index = lo;
  return lo < Count() && CompareStrings(FItems[static_cast<std::size_t>(lo)], S) == 0;
}

int TStringList::IndexOf(std::string_view S) const {
  if (FSorted) {
    int index = 0;
    return Find(S, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i) {
    if (CompareStrings(FItems[static_cast<std::size_t>(i)], S) == 0) return i;
  }
  return -1;
}

void TStringList::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const std::string& a, const std::string& b) {
                     return CompareStrings(a, b) < 0;
                   });
}

void TStringList::CustomSort(const CompareFn& Compare) {
  // Sort a permutation, so that Compare sees the list as it was, by index.
  std::vector<int> order(FItems.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return Compare(*this, a, b) < 0; });
  std::vector<std::string> sorted;
  sorted.reserve(FItems.size());
  for (int i : order) sorted.push_back(std::move(FItems[static_cast<std::size_t>(i)]));
  FItems.swap(sorted);
  FSorted = false;
}

}  // namespace wordloom
