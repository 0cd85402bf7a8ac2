// The Enchant 2 provider "wordloom": Enchant's applications (GTK and GNOME
// programs, python3-enchant) check with the project's dictionaries, found by
// language tag, and get the likelihood ranking's corrections.
//
// Enchant loads this module from its module folder and calls
// init_enchant_provider once per broker. The callbacks are C: no exception
// may leave them, so each one catches, reports through Enchant's error and
// returns its failure value. Lists handed to Enchant are GLib string vectors
// (g_strfreev frees them).
//
// Personal words: Enchant keeps the user's personal list itself (TAG.dic in
// its configuration folder), for whichever provider checks, and consults it
// before asking us; a word added there is also given to us. We read that list
// and the project's own personal list for the language, write neither, and
// offer their words as corrections ranked among the dictionary's.
#include <enchant-provider.h>
#include <glib.h>

#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "language_dictionaries.h"
#include "language_speller.h"

namespace {

using wordloom::integrations::LanguageSpeller;

// The most corrections one suggest call returns: as many as the tool's pipe
// gives an editor.
constexpr std::size_t kMaxSuggestions = 10;

LanguageSpeller& SpellerOf(EnchantDict* dict) {
  return *static_cast<LanguageSpeller*>(dict->user_data);
}

std::string_view WordOf(const char* word, size_t length) {
  return word == nullptr ? std::string_view() : std::string_view(word, length);
}

// A NULL-terminated GLib string vector of Strings.
char** StringVector(const std::vector<std::string>& strings) {
  char** out = g_new0(char*, strings.size() + 1);
  for (std::size_t i = 0; i < strings.size(); ++i) out[i] = g_strdup(strings[i].c_str());
  return out;
}

// Enchant's folder of personal lists, or empty when it has none.
std::string EnchantConfigFolder() {
  char* folder = enchant_get_user_config_dir();
  if (folder == nullptr) return {};
  std::string out(folder);
  g_free(folder);
  return out;
}

void ReportError(EnchantDict* dict, const std::exception& error) {
  enchant_dict_set_error(dict, error.what());
}

int Check(EnchantDict* me, const char* const word, size_t len) {
  try {
    return SpellerOf(me).IsCorrect(WordOf(word, len)) ? 0 : 1;
  } catch (const std::exception& e) {
    ReportError(me, e);
    return -1;
  }
}

char** Suggest(EnchantDict* me, const char* const word, size_t len, size_t* out_n_suggs) {
  *out_n_suggs = 0;
  try {
    const std::vector<std::string> corrections =
        SpellerOf(me).Suggest(WordOf(word, len), kMaxSuggestions);
    if (corrections.empty()) return nullptr;
    *out_n_suggs = corrections.size();
    return StringVector(corrections);
  } catch (const std::exception& e) {
    ReportError(me, e);
    return nullptr;
  }
}

void AddToPersonal(EnchantDict* me, const char* const word, size_t len) {
  try {
    SpellerOf(me).AddToPersonal(WordOf(word, len));
  } catch (const std::exception& e) {
    ReportError(me, e);
  }
}

void AddToSession(EnchantDict* me, const char* const word, size_t len) {
  try {
    SpellerOf(me).AddToSession(WordOf(word, len));
  } catch (const std::exception& e) {
    ReportError(me, e);
  }
}

EnchantDict* RequestDict(EnchantProvider* me, const char* const tag) {
  if (tag == nullptr) return nullptr;
  try {
    const std::string dictionary = wordloom::integrations::FindLanguage(tag);
    if (dictionary.empty()) return nullptr;
    auto speller = std::make_unique<LanguageSpeller>(
        tag, dictionary, wordloom::integrations::PersonalListFile(tag),
        wordloom::integrations::PersonalListUse::kReadOnly);
    if (const std::string config = EnchantConfigFolder(); !config.empty()) {
      try {
        speller->LoadPersonalWords(config + "/" + tag + ".dic");
      } catch (const wordloom::Exception&) {
        // Enchant's own list, which it checks itself: one we cannot read
        // only leaves its words out of our corrections.
      }
    }
    EnchantDict* dict = g_new0(EnchantDict, 1);
    dict->user_data = speller.release();
    dict->check = Check;
    dict->suggest = Suggest;
    dict->add_to_personal = AddToPersonal;
    dict->add_to_session = AddToSession;
    return dict;
  } catch (const std::exception& e) {
    enchant_provider_set_error(me, e.what());
    return nullptr;
  }
}

void DisposeDict(EnchantProvider*, EnchantDict* dict) {
  delete static_cast<LanguageSpeller*>(dict->user_data);
  g_free(dict);
}

int DictionaryExists(EnchantProvider*, const char* const tag) {
  if (tag == nullptr) return 0;
  try {
    return wordloom::integrations::FindLanguage(tag).empty() ? 0 : 1;
  } catch (const std::exception&) {
    return 0;
  }
}

char** ListDicts(EnchantProvider*, size_t* out_n_dicts) {
  *out_n_dicts = 0;
  try {
    const std::vector<std::string> tags = wordloom::integrations::AvailableLanguages();
    if (tags.empty()) return nullptr;
    *out_n_dicts = tags.size();
    return StringVector(tags);
  } catch (const std::exception&) {
    return nullptr;
  }
}

const char* Identify(EnchantProvider*) { return "wordloom"; }

const char* Describe(EnchantProvider*) { return "Wordloom Provider"; }

void Dispose(EnchantProvider* me) { g_free(me); }

}  // namespace

extern "C" {

// The entry point Enchant looks up in every module of its module folder.
__attribute__((visibility("default"))) EnchantProvider* init_enchant_provider(void) {
  EnchantProvider* provider = g_new0(EnchantProvider, 1);
  provider->dispose = Dispose;
  provider->request_dict = RequestDict;
  provider->dispose_dict = DisposeDict;
  provider->dictionary_exists = DictionaryExists;
  provider->identify = Identify;
  provider->describe = Describe;
  provider->list_dicts = ListDicts;
  return provider;
}

}  // extern "C"
