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

void TVelkWordloom::BeginStreamOn(TStream& Stream) {
  SpellStream = &Stream;
  BeginStream();
}

}  // namespace wordloom
