// Three base classes with the same two hooks: an error hook through which every
// failure of a derived class is reported (so that the application can swallow
// it instead of getting an exception) and a random-number hook (so that the
// application can supply its own source). They differ only in their base:
// TRandomObject (TObject), TRndPersistent (TPersistent), TRndComponent (TComponent).
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <functional>
#include <string>

#include "wordloom/platform/component.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/object.h"
#include "wordloom/platform/persistent.h"

namespace wordloom {

// Sender, the class of the failure, its message; setting Handled to true
// suppresses the exception.
using TErrorEvent =
    std::function<void(TObject* Sender, ErrorClass Ex, const std::string& Msg, bool& Handled)>;
// Sender, the range asked for, and the drawn value, which the handler may replace.
using TGetRandomEvent =
    std::function<void(TObject* Sender, std::uint32_t Range, std::uint32_t& Rnd)>;

namespace detail {

// The run-time library's draw: each 16-bit half below its part of Range.
std::uint32_t DrawHalvesBelow(std::uint32_t Range);

// The behaviour the three classes share, on top of their different bases.
template <typename Base>
class RandomHooks : public Base {
 public:
  using Base::Base;

  const TErrorEvent& OnException() const { return FOnException; }
  void SetOnException(TErrorEvent Value) { FOnException = std::move(Value); }
  const TGetRandomEvent& OnGetRandom() const { return FOnGetRandom; }
  void SetOnGetRandom(TGetRandomEvent Value) { FOnGetRandom = std::move(Value); }

  // Reports a failure: the OnException handler sees it first and may mark it
  // handled; otherwise an exception of class Ex with message Msg is raised.
  // Returns normally only when the failure was handled.
  void DoError(ErrorClass Ex, const std::string& Msg) {
    bool handled = false;
    if (FOnException) FOnException(this, Ex, Msg, handled);
    if (!handled) Ex.Raise(Msg);
  }

  // A random number: its low 16 bits below Range mod 65536 and its high 16 bits
  // below Range div 65536, drawn separately (a bound of 0 gives 0); then the
  // OnGetRandom handler may replace it.
  std::uint32_t DoRandom(std::uint32_t Range) {
    std::uint32_t rnd = DrawHalvesBelow(Range);
    if (FOnGetRandom) FOnGetRandom(this, Range, rnd);
    return rnd;
  }

 protected:
  TErrorEvent FOnException;
  TGetRandomEvent FOnGetRandom;
};

}  // namespace detail

class TRandomObject : public detail::RandomHooks<TObject> {
 public:
  WORDLOOM_OBJECT(TRandomObject)
  TRandomObject() = default;
};

class TRndPersistent : public detail::RandomHooks<TPersistent> {
 public:
  WORDLOOM_OBJECT(TRndPersistent)
  TRndPersistent() = default;

  // Copies this object's handlers INTO Source (the same direction as AssignTo).
  // A nil source or one that is no TRndPersistent raises EConvertError.
  void Assign(TPersistent* Source) override;
  // Dest, if a TRndPersistent, receives this object's handlers (VAssignTo);
  // any other destination, or nil, is left alone.
  void AssignTo(TPersistent* Dest) override;
  // Sets Dest's OnException and OnGetRandom to this object's handlers.
  virtual void VAssignTo(TPersistent* Dest);
};

class TRndComponent : public detail::RandomHooks<TComponent> {
 public:
  WORDLOOM_OBJECT(TRndComponent)
  explicit TRndComponent(TComponent* AOwner) : RandomHooks(AOwner) {}
};

}  // namespace wordloom

#pragma GCC visibility pop
