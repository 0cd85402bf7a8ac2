// Encoding and decoding whole streams and files with the dictionary as code
// book (docs/encoded-format.md).
//
// An encoded stream has no header and no framing: it is a sequence of code
// segments (a word's code value, least significant byte first) and literal
// segments (bytes copied as they are), told apart by the format character's
// token T:
//   form A  EncodedBlockSize 0        T before every code, T T before a literal
//           after a code; 1 to 4 code bytes, high zero bytes left out
//   form B  1..4, wldExclFirstSucc    T before every code; exactly n bytes
//   form C  1..4, wldInclFirstSucc    T opens a run of codes and closes it;
//           n base-255 bytes, never T
// A literal never holds T: the tokenizer writes the replacement bytes in its
// place, and the decoder turns them back into T.
#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "dictionary/word_trie.h"
#include "text/block_codec.h"
#include "text/tokenizer.h"
#include "wordloom/platform/coding.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {
namespace {

// Output is collected and written to the destination in pieces of this size:
// a pass produces a few bytes at a time, and a stream write per segment would
// cost more than the coding itself.
constexpr std::size_t kOutputChunk = 64 * 1024;

// The longest code: a 32-bit code value.
constexpr std::uint32_t kMaxCodeBytes = 4;

class OutputBuffer {
 public:
  explicit OutputBuffer(TStream& Dest) : FDest(Dest) { FBytes.reserve(kOutputChunk); }

  void Put(std::uint8_t C) {
    FBytes.push_back(static_cast<char>(C));
    if (FBytes.size() >= kOutputChunk) Flush();
  }
  void Append(std::string_view Bytes) {
    FBytes.append(Bytes);
    if (FBytes.size() >= kOutputChunk) Flush();
  }
  // Writes what was collected. The buffer is emptied before the write, so a
  // write that fails is not attempted again by the next Flush.
  void Flush() {
    if (FBytes.empty()) return;
    std::string bytes;
    bytes.swap(FBytes);
    FDest.WriteBuffer(bytes.data(), bytes.size());
    bytes.clear();
    FBytes.swap(bytes);  // keeps the capacity
  }

 private:
  TStream& FDest;
  std::string FBytes;
};

// Writes decoded text, turning every occurrence of the replacement bytes into
// the token. The first occurrence is replaced first; as the token never occurs
// in the replacement, that is one scan from left to right. Bytes that may
// begin an occurrence wait until the next byte decides; End lets them go.
class TokenRestorer {
 public:
  TokenRestorer(OutputBuffer& Out, std::uint8_t Token, std::string_view Replacement)
      : FOut(Out), FToken(Token), FRepl(Replacement) {}

  void Put(std::uint8_t C) {
    if (FHeld.empty() && (FRepl.empty() || C != static_cast<std::uint8_t>(FRepl[0]))) {
      FOut.Put(C);
      return;
    }
    FHeld.push_back(static_cast<char>(C));
    Settle();
  }
  void Put(std::string_view Bytes) {
    for (char c : Bytes) Put(static_cast<std::uint8_t>(c));
  }
  // The segment ends: what waits can no longer become a replacement.
  void End() {
    FOut.Append(FHeld);
    FHeld.clear();
  }

 private:
  void Settle() {
    while (!FHeld.empty()) {
      const std::size_t n = std::min(FHeld.size(), FRepl.size());
      if (std::string_view(FHeld).substr(0, n) == FRepl.substr(0, n)) {
        if (n < FRepl.size()) return;  // a beginning of the replacement
        FOut.Put(FToken);
        FHeld.erase(0, n);
      } else {
        FOut.Put(static_cast<std::uint8_t>(FHeld[0]));
        FHeld.erase(0, 1);
      }
    }
  }

  OutputBuffer& FOut;
  std::uint8_t FToken;
  std::string_view FRepl;
  std::string FHeld;
};

}  // namespace

std::uint32_t TVelkWordloom::StreamBlockCode(const TByteString& Block) {
  // Without a handler nobody sees EncodeBlock's report, and its exception
  // would only be caught here: a block that is no word needs just the walk.
  if (!FOnException) {
    if (Block.Size() == 0) return kNoCode;
    const std::int32_t node = WalkDown(Block.View());
    if (node < 0 || FNodeList->WordNumber(static_cast<std::uint32_t>(node)) == 0) return kNoCode;
  }
  try {
    return EncodeBlock(Block);
  } catch (const EConvertError&) {
    return kNoCode;  // reported to the handler, which did not mark it handled
  }
}

bool TVelkWordloom::HasCodeBook(const char* Use) {
  // Two words are the least a code book needs.
  if (WordCount() >= 2) return true;
  DoError(ErrorClass::Of<EConvertError>(), std::string("Cannot use empty spell file for ") + Use);
  return false;
}

void TVelkWordloom::EncodeStream(TStream& Source, TStream& Dest) {
  if (!HasCodeBook("encoding")) return;
  BeginStreamPass(Source, "encode");
  detail::PassGuard guard{*FProgress, SpellStream};

  const std::uint8_t token = FFormatChar.GetToken();
  const TWLFormatCharOptions options = GetFormatCharOptions();
  const bool always_prefix = options.Contains(wlcAlwaysPrefix);
  const bool cond_suffix = options.Contains(wlcCondSuffix);
  const std::uint32_t width = FEncodedBlockSize;
  const std::uint32_t limit = CodeLimit();  // 0: every word number fits
  const bool fixed = FTypeOfInput == wliFixedBlockSize;
  const bool separate_successor = !fixed && FDelimiterOption == wldExclFirstSucc;
  const std::string_view replacement = FFormatChar.GetReplBStr().View();

  OutputBuffer out(Dest);
  // True while the segment written last was a code.
  bool pending = false;
  // A literal after a code is marked: T with wlcCondSuffix, T T with both options.
  auto begin_literal = [&] {
    if (pending && cond_suffix) {
      out.Put(token);
      if (always_prefix) out.Put(token);
    }
    pending = false;
  };

  TByteString block;
  std::string literal;
  std::uint8_t code_bytes[kMaxCodeBytes];
  try {
    while (FCharsRead < FCharsToRead) {
      // The next block, and in text mode the delimiters before it.
      if (fixed) {
        const std::uint32_t want = std::min(FUnencodedBlockSize, FCharsToRead - FCharsRead);
        block.SetSize(want);
        ReadBlockFromStream(block.Data(), want);
        FCharsRead += want;
      } else {
        ExtractTextBlockFrom(block, [this] { return NextStreamByte(); });
        if (FPrecedingDelimiters.Size() > 0) {
          begin_literal();
          out.Append(FPrecedingDelimiters.View());
        }
      }

      // The code bytes, if the block has a code that can be written.
      const std::uint32_t code = StreamBlockCode(block);
      std::uint32_t code_len = 0;
      if (code != kNoCode) {
        EncodeFixed(code_bytes, code, kMaxCodeBytes);
        if (width == 0) {
          // Variable length: the high zero bytes are left out. The decoder ends
          // a code at the next T, so a code with a T among its bytes would be
          // cut short; such a word is written as its letters.
          code_len = kMaxCodeBytes;
          while (code_len > 1 && code_bytes[code_len - 1] == 0) --code_len;
          if (std::find(code_bytes, code_bytes + code_len, token) != code_bytes + code_len) {
            code_len = 0;
          }
        } else {
          // A reduction may keep words numbered beyond what the width carries;
          // their codes would lose high bytes and decode to another word.
          const std::uint64_t number =
              always_prefix ? code : detail::Base255Number(code, token);
          code_len = (limit != 0 && number > limit) ? 0 : width;
        }
      }

      if (code_len > 0) {
        if (always_prefix || !pending) out.Put(token);
        out.Append(std::string_view(reinterpret_cast<const char*>(code_bytes), code_len));
        pending = true;
      } else {
        // The block as a literal.
        std::string_view bytes = block.View();
        if (fixed && bytes.find(static_cast<char>(token)) != std::string_view::npos) {
          // Raw blocks may hold the token; the replacement stands for it, as
          // the tokenizer does for text, so that the literal decodes to itself.
          if (replacement.empty()) {
            DoError(ErrorClass::Of<EConvertError>(),
                    "Cannot encode a block containing the format character, which has no "
                    "replacement");
          }
          literal.clear();
          for (char c : bytes) {
            if (static_cast<std::uint8_t>(c) == token) {
              literal.append(replacement);  // handled without replacement: dropped
            } else {
              literal.push_back(c);
            }
          }
          bytes = literal;
        }
        begin_literal();
        out.Append(bytes);
      }

      // The succeeding delimiter is a literal of its own, marked as one
      // when it follows a code (in form A the decoder would otherwise read it
      // as part of the code).
      if (separate_successor && FSucceedingDelimiter.Size() > 0) {
        begin_literal();
        out.Append(FSucceedingDelimiter.View());
      }
      // Show how far the pass has read.
      FProgress->SetPosition(detail::ProgressValue(FCharsRead));
    }
  } catch (...) {
    out.Flush();  // what was encoded before the error stays in Dest
    throw;
  }
  out.Flush();
}

void TVelkWordloom::DecodeStream(TStream& Source, TStream& Dest) {
  if (!HasCodeBook("decoding")) return;
  BeginStreamPass(Source, "decode");
  detail::PassGuard guard{*FProgress, SpellStream};

  const std::uint32_t width = FEncodedBlockSize;
  const std::uint8_t token = FFormatChar.GetToken();
  const TWLFormatCharOptions options = GetFormatCharOptions();
  const bool form_a = options.Contains(wlcAlwaysPrefix) && options.Contains(wlcCondSuffix);
  const bool form_b = options.Contains(wlcAlwaysPrefix) && !form_a;

  OutputBuffer out(Dest);
  TokenRestorer text(out, token, FFormatChar.GetReplBStr().View());
  TByteString word;
  // A code names a word, or is reported; a handled report writes nothing.
  auto write_word = [&](std::uint32_t code) {
    DecodeBlockBStr(code, word);
    text.Put(word.View());
    text.End();
  };

  // The code being read: its bytes so far.
  std::uint8_t code_bytes[kMaxCodeBytes];
  std::uint32_t code_len = 0;
  bool in_code = false;
  try {
    if (form_a) {
      // A single T opens a code, which runs to the next T; T T returns to text.
      bool after_token = false;
      bool overlong = false;  // the code has more bytes than a code value
      auto end_segment = [&] {
        if (in_code) {
          if (code_len > 0 && !overlong) {
            write_word(DecodeFixed(code_bytes, static_cast<std::uint8_t>(code_len)));
          }
        } else {
          text.End();
        }
        code_len = 0;
        overlong = false;
      };
      while (FCharsRead < FCharsToRead) {
        const std::uint8_t c = NextStreamByte();
        ++FCharsRead;
        if (c == token) {
          FProgress->SetPosition(detail::ProgressValue(FCharsRead));
          end_segment();
          in_code = !after_token;
          after_token = true;
          continue;
        }
        after_token = false;
        if (!in_code) {
          text.Put(c);
        } else if (code_len < kMaxCodeBytes) {
          code_bytes[code_len++] = c;
        } else if (!overlong) {
          // Only corrupt input, or a stream read with other settings, gets here.
          overlong = true;
          DoError(ErrorClass::Of<EConvertError>(),
                  "Cannot decode a code longer than four bytes at offset " +
                      std::to_string(FCharsRead - 1) + ".");
        }
      }
      end_segment();
    } else {
      // Forms B and C: a code has exactly `width` bytes. In form B every code
      // follows its own T, and a T among the code bytes is a code byte; in
      // form C a T opens or closes a run of codes.
      while (FCharsRead < FCharsToRead) {
        const std::uint8_t c = NextStreamByte();
        ++FCharsRead;
        if (c == token && (!in_code || !form_b)) {
          FProgress->SetPosition(detail::ProgressValue(FCharsRead));
          if (!in_code) text.End();
          // In form C a T inside a code drops the incomplete code.
          in_code = form_b || !in_code;
          code_len = 0;
        } else if (in_code) {
          code_bytes[code_len] = c;  // width is at most kMaxCodeBytes
          if (++code_len == width) {
            write_word(DecodeFixed(code_bytes, static_cast<std::uint8_t>(code_len)));
            code_len = 0;
            in_code = !form_b;
          }
        } else {
          text.Put(c);
        }
      }
      // An incomplete code at the end is written as the bytes it holds.
      for (std::uint32_t i = 0; in_code && i < code_len; ++i) {
        text.Put(code_bytes[i]);
      }
      text.End();
    }
    FProgress->SetPosition(detail::ProgressValue(FCharsRead));
  } catch (...) {
    out.Flush();  // what was decoded before the error stays in Dest
    throw;
  }
  out.Flush();
}

void TVelkWordloom::CodeFile(const std::string& SourceFile, const std::string& DestFile,
                             bool Encode) {
  // Refused before a file is touched, so an existing destination survives.
  if (WordCount() < 2) {
    DoError(ErrorClass::Of<EConvertError>(), Encode ? "Cannot use empty spell file for encoding"
                                                    : "Cannot use empty spell file for decoding");
    return;
  }
  TFileStream source(SourceFile, fmOpenRead);
  // Creating the destination truncates it: writing a file onto itself would
  // destroy the input before it is read.
  std::error_code ec;
  if (std::filesystem::equivalent(SourceFile, DestFile, ec)) {
    throw EFCreateError("Cannot create file \"" + DestFile + "\". It is the source file.");
  }
  // Created or truncated: afterwards the file holds exactly the bytes written.
  // Declared after the source, so it is closed first.
  TFileStream dest(DestFile, fmCreate | fmShareExclusive);
  if (Encode) {
    EncodeStream(source, dest);
  } else {
    DecodeStream(source, dest);
  }
}

void TVelkWordloom::EncodeFile(const std::string& SourceFile, const std::string& DestFile) {
  CodeFile(SourceFile, DestFile, true);
}

void TVelkWordloom::DecodeFile(const std::string& SourceFile, const std::string& DestFile) {
  CodeFile(SourceFile, DestFile, false);
}

}  // namespace wordloom
