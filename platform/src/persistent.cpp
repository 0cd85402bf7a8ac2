#include "wordloom/platform/persistent.h"

#include <string>

#include "wordloom/platform/exceptions.h"

namespace wordloom {

PropertyInfo& PropertyList::Add(std::string name, PropertyKind kind) {
  PropertyInfo& p = FItems.emplace_back();
  p.Name = std::move(name);
  p.Kind = kind;
  return p;
}

PropertyInfo& PropertyList::Integer(std::string name, std::function<std::int64_t()> get,
                                    std::function<void(std::int64_t)> set, std::int64_t min,
                                    std::int64_t max) {
  PropertyInfo& p = Add(std::move(name), PropertyKind::Integer);
  p.Min = min;
  p.Max = max;
  p.GetOrdinal = std::move(get);
  p.SetOrdinal = std::move(set);
  return p;
}

PropertyInfo& PropertyList::Boolean(std::string name, std::function<bool()> get,
                                    std::function<void(bool)> set) {
  PropertyInfo& p = Add(std::move(name), PropertyKind::Boolean);
  p.Min = 0;
  p.Max = 1;
  p.GetOrdinal = [get = std::move(get)] { return std::int64_t{get() ? 1 : 0}; };
  p.SetOrdinal = [set = std::move(set)](std::int64_t v) { set(v != 0); };
  return p;
}

PropertyInfo& PropertyList::Char(std::string name, std::function<std::uint8_t()> get,
                                 std::function<void(std::uint8_t)> set) {
  PropertyInfo& p = Add(std::move(name), PropertyKind::Char);
  p.Min = 0;
  p.Max = 255;
  p.GetOrdinal = [get = std::move(get)] { return std::int64_t{get()}; };
  p.SetOrdinal = [set = std::move(set)](std::int64_t v) { set(static_cast<std::uint8_t>(v)); };
  return p;
}

PropertyInfo& PropertyList::String(std::string name, std::function<std::string()> get,
                                   std::function<void(const std::string&)> set) {
  PropertyInfo& p = Add(std::move(name), PropertyKind::String);
  p.GetString = std::move(get);
  p.SetString = std::move(set);
  return p;
}

PropertyInfo& PropertyList::Object(std::string name, std::function<TPersistent*()> get) {
  PropertyInfo& p = Add(std::move(name), PropertyKind::Object);
  p.GetObject = std::move(get);
  return p;
}

PropertyInfo& PropertyList::Component(std::string name, std::function<TComponent*()> get,
                                      std::function<void(TComponent*)> set) {
  PropertyInfo& p = Add(std::move(name), PropertyKind::Component);
  p.GetComponent = std::move(get);
  p.SetComponent = std::move(set);
  return p;
}

const PropertyInfo* PropertyList::Find(std::string_view name) const {
  for (const PropertyInfo& p : FItems) {
    if (p.Name == name) return &p;
  }
  return nullptr;
}

void TPersistent::Assign(TPersistent* Source) {
  if (Source == nullptr) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  if (Dest == nullptr) {
    throw EConvertError(std::string("Cannot assign a ") + ClassName() + " to a nil");
  }
  Dest->AssignError(this);
}

void TPersistent::GetProperties(PropertyList&) {}

void TPersistent::DefineProperties(TFiler&) {}

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string source_name = Source != nullptr ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + source_name + " to a " + ClassName());
}

}  // namespace wordloom
