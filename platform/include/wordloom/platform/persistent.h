// TPersistent: objects that can be copied into one another (Assign/AssignTo)
// and stored in form files (published properties and DefineProperties).
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/platform/object.h"

namespace wordloom {

class TComponent;
class TPersistent;
class TReader;
class TStream;
class TWriter;

// What a published property holds, and so how a form file writes it.
enum class PropertyKind : std::uint8_t {
  Integer,    // a whole number within [Min, Max]
  Boolean,    // true or false
  Char,       // one byte
  String,     // bytes
  Enum,       // one enumerator, by name
  Set,        // a set of enumerators, by name
  Object,     // a nested persistent object, stored with its own properties
  Component,  // a reference to another component, by name
};

// One published property: name, kind and accessors. Ordinal kinds (Integer,
// Boolean, Char, Enum, Set as its bit pattern) go through GetOrdinal/SetOrdinal.
struct PropertyInfo {
  std::string Name;
  PropertyKind Kind = PropertyKind::Integer;
  std::vector<std::string> Enumerators;  // Enum and Set: names by ordinal
  // A declared default: an ordinal equal to it is not written. Without one an
  // ordinal is always written; a string is written when not empty.
  std::optional<std::int64_t> Default;
  std::int64_t Min = std::numeric_limits<std::int64_t>::min();
  std::int64_t Max = std::numeric_limits<std::int64_t>::max();
  std::function<bool()> IsStored;  // empty: always stored

  std::function<std::int64_t()> GetOrdinal;
  std::function<void(std::int64_t)> SetOrdinal;
  std::function<std::string()> GetString;
  std::function<void(const std::string&)> SetString;
  std::function<TPersistent*()> GetObject;
  std::function<TComponent*()> GetComponent;
  std::function<void(TComponent*)> SetComponent;

  // Declares the default value (see Default).
  PropertyInfo& WithDefault(std::int64_t value) {
    Default = value;
    return *this;
  }
  // The property is never written to a form file (it can still be read).
  PropertyInfo& NotStored() {
    IsStored = [] { return false; };
    return *this;
  }
};

// The published properties of an object in declared order. Classes fill it in
// TPersistent::GetProperties, base class first:
//   List.Boolean("ShowProgress", [this] { return FShowProgress; },
//                [this](bool v) { SetShowProgress(v); });
class PropertyList {
 public:
  PropertyInfo& Integer(std::string name, std::function<std::int64_t()> get,
                        std::function<void(std::int64_t)> set, std::int64_t min,
                        std::int64_t max);
  PropertyInfo& Boolean(std::string name, std::function<bool()> get,
                        std::function<void(bool)> set);
  PropertyInfo& Char(std::string name, std::function<std::uint8_t()> get,
                     std::function<void(std::uint8_t)> set);
  PropertyInfo& String(std::string name, std::function<std::string()> get,
                       std::function<void(const std::string&)> set);
  PropertyInfo& Object(std::string name, std::function<TPersistent*()> get);
  PropertyInfo& Component(std::string name, std::function<TComponent*()> get,
                          std::function<void(TComponent*)> set);

  // An enumeration E whose ordinals index `names`.
  template <typename E>
  PropertyInfo& Enum(std::string name, std::function<E()> get, std::function<void(E)> set,
                     std::vector<std::string> names) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Enum);
    p.Min = 0;
    p.Max = static_cast<std::int64_t>(names.size()) - 1;
    p.Enumerators = std::move(names);
    p.GetOrdinal = [get] { return static_cast<std::int64_t>(get()); };
    p.SetOrdinal = [set](std::int64_t v) { set(static_cast<E>(v)); };
    return p;
  }

  // A set type S (an EnumSet) whose enumerator ordinals index `names`.
  template <typename S>
  PropertyInfo& Set(std::string name, std::function<S()> get, std::function<void(S)> set,
                    std::vector<std::string> names) {
    PropertyInfo& p = Add(std::move(name), PropertyKind::Set);
    p.Enumerators = std::move(names);
    p.GetOrdinal = [get] { return static_cast<std::int64_t>(get().ToBits()); };
    p.SetOrdinal = [set](std::int64_t v) { set(S::FromBits(static_cast<std::uint32_t>(v))); };
    return p;
  }

  // The property called `name`, or nullptr.
  const PropertyInfo* Find(std::string_view name) const;

  std::size_t Count() const { return FItems.size(); }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

 private:
  PropertyInfo& Add(std::string name, PropertyKind kind);

  std::deque<PropertyInfo> FItems;  // a deque keeps references stable while adding
};

// The filer a class meets in DefineProperties: the form writer or the form reader.
// A custom property holds one value (written and read through TWriter/TReader) or
// raw bytes (through a stream).
class TFiler {
 public:
  virtual ~TFiler() = default;

  // `HasData` says whether the writer writes the property at all.
  virtual void DefineProperty(const std::string& Name, std::function<void(TReader&)> ReadData,
                              std::function<void(TWriter&)> WriteData, bool HasData) = 0;
  // Raw bytes: the reader passes a stream holding them, the writer a stream to fill.
  virtual void DefineBinaryProperty(const std::string& Name,
                                    std::function<void(TStream&)> ReadData,
                                    std::function<void(TStream&)> WriteData, bool HasData) = 0;
};

// Base of everything that can be assigned and stored.
class TPersistent : public TObject {
 public:
  WORDLOOM_OBJECT(TPersistent)

  // Copies Source into this object: Source->AssignTo(this). A nil source raises
  // EConvertError.
  virtual void Assign(TPersistent* Source);
  // Copies this object into Dest. The base class knows no copy and raises
  // EConvertError naming both classes.
  virtual void AssignTo(TPersistent* Dest);

  // Adds the published properties in declared order; overrides call the base first.
  virtual void GetProperties(PropertyList& List);
  // Declares custom stored properties; overrides call the base where the class says.
  virtual void DefineProperties(TFiler& Filer);

 protected:
  // Raises EConvertError "Cannot assign a <source class or nil> to a <this class>".
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

}  // namespace wordloom

#pragma GCC visibility pop
