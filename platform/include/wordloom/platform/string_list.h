// TStringList: a list of byte strings that can be kept sorted, compared with or
// without regard to letter case, with duplicates ignored, accepted or refused.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/platform/object.h"

namespace wordloom {

// The case folding of the sorted lists: the ASCII capitals A-Z and the Latin-1
// capitals 192..222 except 215 (the multiplication sign) become the small
// letter 32 places up; every other byte stays. The same in every locale.
constexpr std::uint8_t FoldCase(std::uint8_t c) {
  return ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215))
             ? static_cast<std::uint8_t>(c + 32)
             : c;
}
// Compares byte by byte after FoldCase: <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);
// Compares byte by byte as unsigned values: <0, 0 or >0.
int CompareStr(std::string_view a, std::string_view b);

enum TDuplicates : std::uint8_t { dupIgnore, dupAccept, dupError };

class TStringList : public TObject {
 public:
  WORDLOOM_OBJECT(TStringList)

  using CompareFn = std::function<int(const TStringList& List, int Index1, int Index2)>;

  TStringList() = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  // REQUIRES: 0 <= Index < Count(); otherwise EListError.
  const std::string& operator[](int Index) const;
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

  bool Sorted() const { return FSorted; }
  // Turning sorting on sorts the list.
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  // Changing it re-sorts a sorted list.
  void SetCaseSensitive(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

  // Adds S: at its sorted place in a sorted list, else at the end. Returns its
  // index. In a sorted list an equal string already there is handled by
  // Duplicates: dupIgnore returns the existing index, dupError raises EListError.
  // (Taken by value: a string the caller gives up moves in without a copy.)
  int Add(std::string S);
  // Inserts at Index. REQUIRES: an unsorted list (else EListError), 0 <= Index <= Count.
  void Insert(int Index, const std::string& S);
  // Removes the string at Index (EListError when out of range).
  void Delete(int Index);
  // Replaces the string at Index. REQUIRES: an unsorted list.
  void Put(int Index, const std::string& S);
  void Clear();

  // Sorted lists: binary search. Returns whether S is there; Index receives its
  // position, or where it would be inserted.
  bool Find(std::string_view S, int& Index) const;
  // The index of S, or -1 (binary search when sorted, else a scan).
  int IndexOf(std::string_view S) const;

  // Sorts with the list's comparison (stable).
  void Sort();
  // Sorts with Compare (stable); the list is then no longer marked sorted.
  void CustomSort(const CompareFn& Compare);

  // Compares two strings as this list does.
  int CompareStrings(std::string_view a, std::string_view b) const;

 private:
  std::vector<std::string> FItems;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = dupIgnore;
};

}  // namespace wordloom

#pragma GCC visibility pop
