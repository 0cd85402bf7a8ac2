// The root of the object model: every class of the system's public model derives
// from TObject, so an event can name its sender and an error can name a class.
#pragma once

#pragma GCC visibility push(default)

namespace wordloom {

// Declares the class-name queries of a TObject descendant. Put it first in the
// public section of every class of the public model:
//   class TByteString : public TPersistent {
//    public:
//     WORDLOOM_OBJECT(TByteString)
#define WORDLOOM_OBJECT(Name)                                         \
  static constexpr const char* StaticClassName() { return #Name; }    \
  const char* ClassName() const override { return #Name; }

class TObject {
 public:
  static constexpr const char* StaticClassName() { return "TObject"; }
  virtual const char* ClassName() const { return "TObject"; }

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

}  // namespace wordloom

#pragma GCC visibility pop
