// The plugin interface of KDE Sonnet 5 (libKF5SonnetCore), which its
// development package does not install: a backend derives a Client, which
// the loader finds through Qt's plugin system, and hands out one
// SpellerPlugin per language. Declared here as the library defines it (same
// classes, virtual functions in the same order), so that this plugin's
// vtables match the library's calls; the functions that are not pure are
// the library's own.
//
// Kept out of the plugin's automoc: Client's meta-object lives in the
// library, and a second one here would clash with it.
#pragma once

#include <sonnet/sonnetcore_export.h>

#include <QObject>
#include <QString>
#include <QStringList>

namespace Sonnet {

class SpellerPluginPrivate;

// One language's checker, created by a Client.
class SONNETCORE_EXPORT SpellerPlugin {
 public:
  virtual ~SpellerPlugin();

  virtual bool isCorrect(const QString& word) const = 0;
  bool isMisspelled(const QString& word) const;
  virtual QStringList suggest(const QString& word) const = 0;
  virtual bool checkAndSuggest(const QString& word, QStringList& suggestions) const;
  virtual bool storeReplacement(const QString& bad, const QString& good) = 0;
  virtual bool addToPersonal(const QString& word) = 0;
  virtual bool addToSession(const QString& word) = 0;
  QString language() const;

 protected:
  explicit SpellerPlugin(const QString& lang);

 private:
  SpellerPluginPrivate* const d;
};

// A backend: its name, how much its answers are trusted, its languages.
class SONNETCORE_EXPORT Client : public QObject {
  Q_OBJECT
 public:
  explicit Client(QObject* parent = nullptr);

  virtual int reliability() const = 0;
  virtual SpellerPlugin* createSpeller(const QString& language) = 0;
  virtual QStringList languages() const = 0;
  virtual QString name() const = 0;
};

}  // namespace Sonnet

Q_DECLARE_INTERFACE(Sonnet::Client, "org.kde.sonnet.Client")
