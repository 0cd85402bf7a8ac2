#include "wordloom_client.h"

#include <QDebug>
#include <exception>
#include <memory>
#include <string>

#include "language_dictionaries.h"
#include "language_speller.h"

namespace wordloom::integrations {

namespace {

// The most corrections one suggest call returns: as many as the tool's pipe
// gives an editor.
constexpr std::size_t kMaxSuggestions = 10;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// Runs Action and returns its result; Sonnet's functions report no errors, so
// a failure is logged with What and answered with Failed.
template <typename Result, typename Action>
Result Guarded(const char* what, Result failed, Action action) {
  try {
    return action();
  } catch (const std::exception& e) {
    qWarning("Wordloom: %s: %s", what, e.what());
    return failed;
  }
}

// A speller of Sonnet's over a LanguageSpeller.
class WordloomSpeller : public Sonnet::SpellerPlugin {
 public:
  WordloomSpeller(const QString& language, std::unique_ptr<LanguageSpeller> speller)
      : Sonnet::SpellerPlugin(language), FSpeller(std::move(speller)) {}

  // A word that cannot be checked is let pass rather than marked.
  bool isCorrect(const QString& word) const override {
    return Guarded("cannot check a word", true, [&] { return FSpeller->IsCorrect(Utf8(word)); });
  }

  QStringList suggest(const QString& word) const override {
    return Guarded("cannot suggest", QStringList(), [&] {
      QStringList out;
      for (const std::string& s : FSpeller->Suggest(Utf8(word), kMaxSuggestions)) {
        out << QString::fromUtf8(s.data(), static_cast<int>(s.size()));
      }
      return out;
    });
  }

  // Replacements are not remembered: the ranking has no place for them.
  bool storeReplacement(const QString&, const QString&) override { return false; }

  bool addToPersonal(const QString& word) override {
    return Guarded("cannot add to the personal list", false, [&] {
      FSpeller->AddToPersonal(Utf8(word));
      return true;
    });
  }

  bool addToSession(const QString& word) override {
    return Guarded("cannot add to the session", false, [&] {
      FSpeller->AddToSession(Utf8(word));
      return true;
    });
  }

 private:
  std::unique_ptr<LanguageSpeller> FSpeller;
};

}  // namespace

WordloomClient::WordloomClient(QObject* parent) : Sonnet::Client(parent) {}

Sonnet::SpellerPlugin* WordloomClient::createSpeller(const QString& language) {
  const std::string tag = Utf8(language);
  return Guarded("cannot open the dictionary", static_cast<Sonnet::SpellerPlugin*>(nullptr),
                 [&]() -> Sonnet::SpellerPlugin* {
                   const std::string dictionary = FindLanguage(tag);
                   if (dictionary.empty()) return nullptr;
                   return new WordloomSpeller(
                       language,
                       std::make_unique<LanguageSpeller>(tag, dictionary, PersonalListFile(tag)));
                 });
}

QStringList WordloomClient::languages() const {
  return Guarded("cannot list the dictionaries", QStringList(), [] {
    QStringList out;
    for (const std::string& tag : AvailableLanguages()) out << QString::fromStdString(tag);
    return out;
  });
}

}  // namespace wordloom::integrations
