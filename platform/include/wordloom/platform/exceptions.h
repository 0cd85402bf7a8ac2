// The exception classes the components raise, and ErrorClass, a value that names
// one of them and can raise it (what error events pass to the application).
#pragma once

#pragma GCC visibility push(default)

#include <exception>
#include <string>
#include <typeinfo>
#include <utility>

namespace wordloom {

// Base of every exception of the library; what() is the message.
class Exception : public std::exception {
 public:
  static constexpr const char* StaticClassName() { return "Exception"; }

  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }
  virtual const char* ClassName() const noexcept { return StaticClassName(); }

 private:
  std::string FMessage;
};

// Declares an exception class Name derived from Base, with Base's constructors.
#define WORDLOOM_EXCEPTION(Name, Base)                                        \
  class Name : public Base {                                                  \
   public:                                                                    \
    using Base::Base;                                                         \
    static constexpr const char* StaticClassName() { return #Name; }          \
    const char* ClassName() const noexcept override { return #Name; }         \
  }

WORDLOOM_EXCEPTION(EConvertError, Exception);    // a value of the wrong kind
WORDLOOM_EXCEPTION(EListError, Exception);       // a list or byte-string index
WORDLOOM_EXCEPTION(EPropertyError, Exception);   // an invalid setting
WORDLOOM_EXCEPTION(ERangeError, Exception);      // a value outside its range
WORDLOOM_EXCEPTION(EIntOverflow, Exception);     // 32-bit arithmetic overflowed
WORDLOOM_EXCEPTION(EAbstractError, Exception);   // an abstract operation was called
WORDLOOM_EXCEPTION(EComponentError, Exception);  // a bad component name
WORDLOOM_EXCEPTION(EStreamError, Exception);     // base of the stream errors
WORDLOOM_EXCEPTION(EReadError, EStreamError);    // reading failed or bad data
WORDLOOM_EXCEPTION(EWriteError, EStreamError);   // writing failed
WORDLOOM_EXCEPTION(EFOpenError, EStreamError);   // a file could not be opened
WORDLOOM_EXCEPTION(EFCreateError, EStreamError); // a file could not be created

// Names one exception class. Copyable and comparable; Raise throws an exception
// of the named class with the given message.
//   ErrorClass c = ErrorClass::Of<EListError>();
//   c.Raise("No room");  // throws EListError("No room")
class ErrorClass {
 public:
  // Names the base class Exception.
  ErrorClass() : ErrorClass(Of<Exception>()) {}

  // REQUIRES: E derives from Exception and is constructible from a std::string.
  template <typename E>
  static ErrorClass Of() {
    return ErrorClass(&typeid(E), E::StaticClassName(), &RaiseAs<E>);
  }

  // The class name, for example "EListError".
  const char* Name() const { return FName; }

  // Throws an exception of the named class whose message is `message`.
  [[noreturn]] void Raise(const std::string& message) const {
    FRaise(message);
    std::terminate();  // not reached: FRaise always throws
  }

  friend bool operator==(const ErrorClass& a, const ErrorClass& b) {
    return *a.FType == *b.FType;
  }

 private:
  using RaiseFn = void (*)(const std::string&);

  ErrorClass(const std::type_info* type, const char* name, RaiseFn raise)
      : FType(type), FName(name), FRaise(raise) {}

  template <typename E>
  [[noreturn]] static void RaiseAs(const std::string& message) {
    throw E(message);
  }

  const std::type_info* FType;
  const char* FName;
  RaiseFn FRaise;
};

// Messages of the run-time checks, shared so that every module words them alike.
inline constexpr const char* kRangeErrorMessage = "Range check error";
inline constexpr const char* kIntOverflowMessage = "Integer overflow";

}  // namespace wordloom

#pragma GCC visibility pop
