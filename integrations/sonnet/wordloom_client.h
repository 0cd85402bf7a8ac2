// The Sonnet backend "Wordloom": KDE applications (Kate, KWrite, KMail) check
// with the project's dictionaries, by language tag, and get the likelihood
// ranking's corrections. Sonnet keeps no personal list of its own; words
// added through it go to the project's personal list for the language.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "sonnet_plugin_interface.h"

namespace wordloom::integrations {

class WordloomClient : public Sonnet::Client {
  Q_OBJECT
  Q_INTERFACES(Sonnet::Client)
  Q_PLUGIN_METADATA(IID "org.kde.sonnet.Client")

 public:
  explicit WordloomClient(QObject* parent = nullptr);

  // Sonnet gives a language to its most reliable backend (the user's default
  // backend in Sonnet's settings aside): above Hunspell's 40 and Aspell's 20,
  // so that installing this plugin is enough to be asked first.
  int reliability() const override { return 45; }
  // Null when the language has no dictionary or it cannot be opened.
  Sonnet::SpellerPlugin* createSpeller(const QString& language) override;
  QStringList languages() const override;
  QString name() const override { return QStringLiteral("Wordloom"); }
};

}  // namespace wordloom::integrations
