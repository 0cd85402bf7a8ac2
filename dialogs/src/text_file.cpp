#include "wordloom/dialogs/text_file.h"

#include <QStringDecoder>

namespace wordloom::dialogs {

namespace {

bool IsValidUtf8(std::string_view Bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text =
      decoder.decode(QByteArrayView(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
  return !decoder.hasError();
}

}  // namespace

TextFileContent DecodeTextFile(std::string_view Bytes, TMemoEncoding Wanted) {
  TextFileContent content;
  content.Encoding = Wanted;
  if (Wanted == meUtf8 && !IsValidUtf8(Bytes)) {
    content.Encoding = meWindows1252;
    content.FellBack = true;
  }
  content.Crlf = Bytes.find("\r\n") != std::string_view::npos;
  content.Text = DecodeMemoText(Bytes, content.Encoding);
  if (content.Crlf) content.Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return content;
}

std::optional<std::string> EncodeTextFile(QStringView Text, const TextFileContent& Like) {
  std::string bytes = EncodeMemoText(Text, Like.Encoding);
  // Windows-1252 writes '?' for a character it lacks: the text would change.
  if (Like.Encoding != meUtf8 && DecodeMemoText(bytes, Like.Encoding) !=
                                     DecodeMemoText(EncodeMemoText(Text, meUtf8), meUtf8)) {
    return std::nullopt;
  }
  if (!Like.Crlf) return bytes;
  std::string crlf;
  crlf.reserve(bytes.size() + bytes.size() / 16);
  for (const char c : bytes) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

QString EncodingName(TMemoEncoding Encoding) {
  return Encoding == meUtf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
}

}  // namespace wordloom::dialogs
