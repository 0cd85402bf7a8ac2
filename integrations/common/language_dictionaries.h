// Which dictionaries the spelling frameworks are offered, by language tag
// (en, en_US, en_GB, ...): the one place where the Enchant provider and the
// Sonnet plugin learn what exists, where it is, and where a user's personal
// words for a language are kept.
//
//   for (const std::string& tag : AvailableLanguages()) ...   // "en", ...
//   std::string path = FindLanguage("en_US");                 // .../en.spl
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wordloom::integrations {

// Whether Tag can name a dictionary: 1 to 64 bytes of A-Z, a-z, 0-9, '_' and
// '-'. A tag comes from an application and becomes part of a file name, so
// nothing that leaves the dictionary folders ("..", "/") passes.
bool IsLanguageTag(std::string_view Tag);

// The spell file for Tag: TAG.spl in the first dictionary folder that holds
// one, else the spell file of its language alone (en.spl for en_GB). Empty
// when there is none or Tag is no language tag.
std::string FindLanguage(std::string_view Tag);

// The tags of every spell file in the dictionary folders, sorted, each once.
std::vector<std::string> AvailableLanguages();

// The file of the user's personal words for Tag, or empty when the user's
// data folder cannot be named (no HOME) or Tag is no language tag.
std::string PersonalListFile(std::string_view Tag);

}  // namespace wordloom::integrations
