// Text files as an editor reads and writes them: in UTF-8 or Windows-1252,
// with the file's line breaks. A file that is not valid UTF-8 is read as
// Windows-1252 (which covers Latin-1's letters and gives every byte a
// character), never with U+FFFD in place of its bytes, and the reader learns
// so, to tell the user and to save the file in that encoding again.
//
//   TextFileContent content = DecodeTextFile(bytes, meUtf8);
//   if (content.FellBack) ...;  // "read as Windows-1252"
//   std::optional<std::string> out = EncodeTextFile(text, content);
#pragma once

#include <wordloom/dialogs/qt_memo.h>

#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

namespace wordloom::dialogs {

struct TextFileContent {
  QString Text;  // line breaks as "\n"
  // The encoding the file was read in, and is to be written in again.
  TMemoEncoding Encoding = meUtf8;
  // The file was asked for in UTF-8 but is not valid UTF-8: it was read as
  // Windows-1252.
  bool FellBack = false;
  // The file had Windows line breaks ("\r\n"): they are written again.
  bool Crlf = false;
};

// The text of a file's Bytes in Wanted; invalid UTF-8 as Windows-1252.
TextFileContent DecodeTextFile(std::string_view Bytes, TMemoEncoding Wanted);

// The bytes of Text for a file like Like (its encoding and line breaks);
// nothing when a character of Text has no place in that encoding.
std::optional<std::string> EncodeTextFile(QStringView Text, const TextFileContent& Like);

// "UTF-8" or "Windows-1252", for messages.
QString EncodingName(TMemoEncoding Encoding);

}  // namespace wordloom::dialogs
