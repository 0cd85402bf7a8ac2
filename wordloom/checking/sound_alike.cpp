#include "checking/sound_alike.h"

namespace wordloom::detail {

namespace {

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u'; }
bool IsFrontVowel(char c) { return c == 'e' || c == 'i' || c == 'y'; }

}  // namespace

std::string SoundAlikeKey(std::string_view Word) {
  std::string w;
  w.reserve(Word.size());
  for (char ch : Word) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (ch >= 'a' && ch <= 'z') w.push_back(ch);
  }
  const std::size_t n = w.size();
  auto at = [&](std::size_t i) { return i < n ? w[i] : '\0'; };

  std::string key;
  key.reserve(n + 1);
  auto emit = [&key](char code) {
    if (key.empty() || key.back() != code) key.push_back(code);
  };

  std::size_t i = 0;
  // Silent first letters: knee, gnome, pneumatic, write; x sounds as s.
  if (n >= 2) {
    const std::string_view head(w.data(), 2);
    if (head == "kn" || head == "gn" || head == "pn" || head == "wr" || head == "ae") i = 1;
    if (head == "wh") {
      emit('W');
      i = 2;
    }
  }
  if (i == 0 && n > 0 && w[0] == 'x') {
    emit('S');
    i = 1;
  }
  for (; i < n; ++i) {
    const char c = w[i];
    const char prev = i > 0 ? w[i - 1] : '\0';
    const char next = at(i + 1);
    const char after = at(i + 2);
    if (IsVowel(c)) {
      if (key.empty()) emit('A');
      continue;
    }
    switch (c) {
      case 'b':
        if (!(prev == 'm' && i + 1 == n)) emit('B');  // lamb
        break;
      case 'c':
        if (next == 'i' && after == 'a') {
          emit('X');  // special
        } else if (next == 'h') {
          emit('X');
          ++i;
        } else if (IsFrontVowel(next)) {
          if (prev != 's') emit('S');  // science
        } else if (next != 'k') {
          emit('K');
        }
        break;
      case 'd':
        if (next == 'g' && IsFrontVowel(after)) {
          emit('J');  // edge
          ++i;
        } else {
          emit('T');
        }
        break;
      case 'g':
        if (next == 'h') {
          if (i == 0) emit('K');  // ghost; night, though: silent
          ++i;
        } else if (next == 'n' && (i + 2 == n || (after == 'e' && at(i + 3) == 'd'))) {
          // sign, signed: silent
        } else if (IsFrontVowel(next)) {
          emit('J');
        } else {
          emit('K');
        }
        break;
      case 'h':
        if (IsVowel(next) && !(prev == 'c' || prev == 's' || prev == 'p' || prev == 't' ||
                               prev == 'g')) {
          emit('H');
        }
        break;
      case 'k':
        emit('K');  // also the k of ck, where the c stays silent
        break;
      case 'p':
        if (next == 'h') {
          emit('F');
          ++i;
        } else {
          emit('P');
        }
        break;
      case 'q':
        emit('K');
        break;
      case 's':
        if (next == 'h') {
          emit('X');
          ++i;
        } else if (next == 'i' && (after == 'o' || after == 'a')) {
          emit('X');  // mission
        } else if (next == 'c' && after == 'h') {
          emit('S');
          emit('K');
          i += 2;
        } else {
          emit('S');
        }
        break;
      case 't':
        if (next == 'i' && (after == 'o' || after == 'a')) {
          emit('X');  // nation
        } else if (next == 'h') {
          emit('0');
          ++i;
        } else if (!(next == 'c' && after == 'h')) {
          emit('T');
        }
        break;
      case 'v':
        emit('F');
        break;
      case 'w':
      case 'y':
        if (IsVowel(next)) emit(c == 'w' ? 'W' : 'Y');
        break;
      case 'x':
        emit('K');
        emit('S');
        break;
      case 'z':
        emit('S');
        break;
      default:  // f j l m n r
        emit(static_cast<char>(c - 'a' + 'A'));
        break;
    }
  }
  return key;
}

}  // namespace wordloom::detail
