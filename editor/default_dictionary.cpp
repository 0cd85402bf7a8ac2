#include "default_dictionary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace wordloom::editor {

QString FindDefaultDictionary() {
  const QString env = qEnvironmentVariable("WORDLOOM_DICT");
  if (!env.isEmpty()) return env;
  const QDir exe(QCoreApplication::applicationDirPath());
  const QString candidates[] = {
      exe.filePath(QStringLiteral("en.spl")),
      exe.filePath(QStringLiteral("../cli/en.spl")),
      exe.filePath(QStringLiteral("../share/wordloom/en.spl")),
      QStringLiteral(WORDLOOM_INSTALLED_DICTIONARY),
  };
  for (const QString& c : candidates) {
    if (QFileInfo(c).isFile()) return QDir::cleanPath(c);
  }
  return {};
}

}  // namespace wordloom::editor
