// Cutting text into words (the algorithm is in tokenizer.h).
#include "text/tokenizer.h"

#include "wordloom/platform/exceptions.h"

namespace wordloom {

std::unique_ptr<TByteString> TVelkWordloom::ExtractTextBlock(const TReadCharMethod& ReadChar) {
  auto word = std::make_unique<TByteString>();
  ExtractTextBlockFrom(*word, [&ReadChar] {
    char c = 0;
    ReadChar(c);
    return static_cast<std::uint8_t>(c);
  });
  return word;
}

void TVelkWordloom::ReadCharFromStream(char& Block) {
  Block = static_cast<char>(NextStreamByte());
}

void TVelkWordloom::StreamEndError() { throw EReadError("Unexpected end of stream"); }

void TVelkWordloom::BeginStreamPass(TStream& Source, const char* What) {
  const std::int64_t available = Source.Size() - Source.Position();
  if (available > static_cast<std::int64_t>(UINT32_MAX)) {
    throw ERangeError(std::string("A stream to ") + What + " may hold at most 4294967295 bytes");
  }
  FCharsToRead = available > 0 ? static_cast<std::uint32_t>(available) : 0;
  FCharsRead = 0;
  FProgress->SetMax(detail::ProgressValue(FCharsToRead));
  FProgress->SetPosition(0);
  if (FShowProgress) FProgress->Show();
  BeginStreamOn(Source);
}

void TVelkWordloom::BeginStreamOn(TStream& Stream) {
  SpellStream = &Stream;
  BeginStream();
}

}  // namespace wordloom
