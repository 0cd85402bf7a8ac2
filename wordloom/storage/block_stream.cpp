// The block stream layer: every byte of a spell file passes through the
// dictionary's buffer, so that the many small transfers of the format become
// stream transfers of StreamBufferSize bytes, and protected files are
// enciphered and deciphered here, on the caller's side of the buffer.
#include <algorithm>
#include <cstring>

#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/weaksecurity/weak_cipher.h"

namespace wordloom {

void TVelkWordloom::SetStreamBufferSize(std::uint32_t Value) {
  if (Value == 0 || Value > kMaxStreamBufferSize) {
    throw EPropertyError("StreamBufferSize must be from 1 to " +
                         std::to_string(kMaxStreamBufferSize) + ", not " + std::to_string(Value));
  }
  if (Value > FStreamBufferCapacity) {
    // A larger transfer size gets a buffer to match, so it is never overrun.
    StreamBuffer.reset(new std::uint8_t[Value]());
    FStreamBufferCapacity = Value;
    StreamPos = 0;
    FStreamFill = 0;
  }
  FStreamBufferSize = Value;
}

void TVelkWordloom::BeginStream() {
  StreamPos = 0;
  FStreamFill = 0;
}

void TVelkWordloom::RefillStreamBuffer() {
  FStreamFill = static_cast<std::uint32_t>(SpellStream->Read(StreamBuffer.get(), FStreamBufferSize));
}

void TVelkWordloom::ReadBlockFromStream(void* Block, std::uint32_t Size) {
  auto* out = static_cast<std::uint8_t*>(Block);
  std::uint32_t done = 0;
  while (done < Size) {
    // StreamPos 0 means: the next byte needs a new load.
    if (StreamPos == 0) RefillStreamBuffer();
    // Only the bytes the stream really delivered are data.
    if (StreamPos >= FStreamFill) StreamEndError();
    const std::uint32_t n = std::min(FStreamFill - StreamPos, Size - done);
    std::memcpy(out + done, StreamBuffer.get() + StreamPos, n);
    StreamPos += n;
    done += n;
    if (StreamPos == FStreamBufferSize) StreamPos = 0;
  }
}

void TVelkWordloom::WriteBlockToStream(void* Block, std::uint32_t Size) {
  const auto* in = static_cast<const std::uint8_t*>(Block);
  std::uint32_t done = 0;
  while (done < Size) {
    const std::uint32_t n = std::min(FStreamBufferSize - StreamPos, Size - done);
    std::memcpy(StreamBuffer.get() + StreamPos, in + done, n);
    StreamPos += n;
    done += n;
    // The stream only ever sees whole buffers until the writer ends.
    if (StreamPos == FStreamBufferSize) {
      SpellStream->WriteBuffer(StreamBuffer.get(), FStreamBufferSize);
      StreamPos = 0;
    }
  }
}

void TVelkWordloom::ReadCiphBlockFromStream(void* Block, std::uint32_t Size) {
  ReadBlockFromStream(Block, Size);
  auto* bytes = static_cast<std::uint8_t*>(Block);
  for (std::uint32_t i = 0; i < Size; ++i) Cipher->Decrypt(bytes[i]);
}

void TVelkWordloom::WriteCiphBlockToStream(void* Block, std::uint32_t Size) {
  auto* bytes = static_cast<std::uint8_t*>(Block);
  for (std::uint32_t i = 0; i < Size; ++i) Cipher->Encrypt(bytes[i]);
  WriteBlockToStream(Block, Size);
}

void TVelkWordloom::BeginStreamRead(TStream& Stream) {
  SpellStream = &Stream;
  BeginStream();
  ReadBlock = [this](void* b, std::uint32_t n) { ReadBlockFromStream(b, n); };
}

void TVelkWordloom::BeginStreamWrite(TStream& Stream) {
  SpellStream = &Stream;
  BeginStream();
  WriteBlock = [this](void* b, std::uint32_t n) { WriteBlockToStream(b, n); };
}

void TVelkWordloom::FlushStreamWrite() {
  if (StreamPos > 0) SpellStream->WriteBuffer(StreamBuffer.get(), StreamPos);
  StreamPos = 0;
}

void TVelkWordloom::EndStreamWrite() {
  FlushStreamWrite();
  SpellStream = nullptr;
  FOwnedStream.reset();
}

}  // namespace wordloom
