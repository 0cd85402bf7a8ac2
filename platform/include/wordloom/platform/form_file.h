// Form files: the stored state of components as text. A component is written as
// its published properties in declared order (values equal to a declared default
// left out), the custom properties its DefineProperties declares, and the
// components it stores inside it. The format is described in docs/form-files.md.
//
//   object Dictionary : TVelkWordloom
//     EncodedBlockSize = 2
//     FormatChar {
//       NoReplacement = false
//       Token = #92
//     }
//     SpellFile = <
//       0A0000...
//     >
//   end
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "wordloom/platform/component.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/persistent.h"
#include "wordloom/platform/stream.h"

namespace wordloom {

// The writer a DefineProperties WriteData procedure gets: it writes exactly one value.
class TWriter : public TFiler {
 public:
  virtual void WriteInteger(std::int64_t Value) = 0;
  virtual void WriteBoolean(bool Value) = 0;
  virtual void WriteChar(std::uint8_t Value) = 0;
  virtual void WriteString(const std::string& Value) = 0;
  virtual void WriteIdent(const std::string& Value) = 0;
};

// The reader a DefineProperties ReadData procedure gets: it reads exactly one
// value and raises EReadError when the stored value is of another kind.
class TReader : public TFiler {
 public:
  virtual std::int64_t ReadInteger() = 0;
  virtual bool ReadBoolean() = 0;
  virtual std::uint8_t ReadChar() = 0;
  virtual std::string ReadString() = 0;
  virtual std::string ReadIdent() = 0;
};

// Writes Root, its properties and the components it stores, as a form file.
void WriteComponent(TStream& Stream, TComponent& Root);
std::string WriteComponentToString(TComponent& Root);

// Creates the component a form file describes, by the class name registered
// with RegisterComponents or RegisterClasses, and reads it. The new component
// belongs to Owner, or to the caller when Owner is nullptr. Raises EReadError
// with the line for malformed text, an unknown class or property, a value of
// the wrong kind or range, or a setter's refusal; nothing is left behind then.
TComponent* ReadComponent(TStream& Stream, TComponent* Owner);
TComponent* ReadComponentFromString(std::string_view Text, TComponent* Owner);

// Reads a form file that holds a T (or a class derived from it) into a new T
// owned by the caller. Raises EReadError as ReadComponent does, and when the
// form holds another class.
template <typename T>
std::unique_ptr<T> ReadComponentAs(std::string_view Text) {
  std::unique_ptr<TComponent> c(ReadComponentFromString(Text, nullptr));
  if (auto* t = dynamic_cast<T*>(c.get())) {
    c.release();
    return std::unique_ptr<T>(t);
  }
  throw EReadError(std::string("form file: holds a ") + c->ClassName() + ", not a " +
                   T::StaticClassName());
}

// Reads a form file into an existing component, which must be of the stored class.
void ReadComponentInto(TStream& Stream, TComponent& Root);
void ReadComponentIntoFromString(std::string_view Text, TComponent& Root);

// The most bytes a form file may have; longer input is refused before parsing.
inline constexpr std::size_t kMaxFormFileSize = std::size_t{1} << 30;
// How deeply nested objects and components may be, so that hostile input
// cannot exhaust the stack.
inline constexpr int kMaxFormNesting = 64;

}  // namespace wordloom

#pragma GCC visibility pop
