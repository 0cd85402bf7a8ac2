// A sound-alike key for English spellings: words that are pronounced alike
// get the same key ("definately" and "definitely", "fone" and "phone"), so
// that a writer who spells by ear still finds the word. Consonants map to one
// letter per sound, silent letters drop, vowels after the first letter drop,
// and a sound repeated in a row counts once. Bytes other than ASCII letters
// are ignored; case does not matter.
#pragma once

#include <string>
#include <string_view>

namespace wordloom::detail {

std::string SoundAlikeKey(std::string_view Word);

}  // namespace wordloom::detail
