// Writes components as form files; the layout is described in docs/form-files.md.
#include <algorithm>
#include <string>

#include "form_format_internal.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/form_file.h"

namespace wordloom {

namespace {

using detail::kFormIndent;
using detail::kHexDigits;

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
  return out;
}

// Whether Target is Root or owned, directly or not, by Root.
bool InTree(const TComponent* Target, const TComponent* Root) {
  for (const TComponent* c = Target; c != nullptr; c = c->Owner()) {
    if (c == Root) return true;
  }
  return false;
}

class FormWriter final : public TWriter {
 public:
  FormWriter(std::string& out, TComponent& root) : FOut(out), FRoot(root) {}

  void WriteComponent(TComponent& c, int depth) {
    Indent(depth);
    FOut.append(detail::kKeywordObject);
    if (!c.Name().empty()) FOut.append(" ").append(c.Name());
    FOut.append(" : ").append(c.ClassName()).append("\n");
    WriteProperties(c, depth + 1);
    c.GetChildren([&](TComponent* child) {
      if (child != nullptr) WriteComponent(*child, depth + 1);
    });
    Indent(depth);
    FOut.append(detail::kKeywordEnd).append("\n");
  }

  // TWriter: one value for the custom property being written.
  void WriteInteger(std::int64_t Value) override { Value_(std::to_string(Value)); }
  void WriteBoolean(bool Value) override {
    Value_(std::string(Value ? detail::kKeywordTrue : detail::kKeywordFalse));
  }
  void WriteChar(std::uint8_t Value) override { Value_("#" + std::to_string(Value)); }
  void WriteString(const std::string& Value) override { Value_(Quote(Value)); }
  void WriteIdent(const std::string& Value) override { Value_(Value); }

  // TFiler
  void DefineProperty(const std::string& Name, std::function<void(TReader&)>,
                      std::function<void(TWriter&)> WriteData, bool HasData) override {
    if (!HasData || !WriteData) return;
    Indent(FDepth);
    FOut.append(Name).append(" = ");
    FValues = 0;
    WriteData(*this);
    if (FValues != 1) {
      throw EWriteError("form file: property \"" + Name + "\" of " + FCurrent +
                        " wrote " + std::to_string(FValues) + " values instead of one");
    }
  }

  void DefineBinaryProperty(const std::string& Name, std::function<void(TStream&)>,
                            std::function<void(TStream&)> WriteData, bool HasData) override {
    if (!HasData || !WriteData) return;
    TMemoryStream data;
    WriteData(data);
    Indent(FDepth);
    FOut.append(Name).append(" = <\n");
    const std::string bytes = data.Bytes();
    for (std::size_t i = 0; i < bytes.size(); i += detail::kFormBinaryBytesPerLine) {
      Indent(FDepth + 1);
      const std::size_t end = std::min(bytes.size(), i + detail::kFormBinaryBytesPerLine);
      for (std::size_t j = i; j < end; ++j) {
        const auto c = static_cast<unsigned char>(bytes[j]);
        FOut += kHexDigits[c >> 4];
        FOut += kHexDigits[c & 15];
      }
      FOut += '\n';
    }
    Indent(FDepth);
    FOut.append(">\n");
  }

 private:
  void Indent(int depth) { FOut.append(static_cast<std::size_t>(depth * kFormIndent), ' '); }

  void Value_(const std::string& text) {
    ++FValues;
    if (FValues == 1) FOut.append(text).append("\n");
  }

  // Published properties in declared order, then the custom ones.
  void WriteProperties(TPersistent& obj, int depth) {
    PropertyList props;
    obj.GetProperties(props);
    for (const PropertyInfo& p : props) {
      if (p.IsStored && !p.IsStored()) continue;
      WriteProperty(obj, p, depth);
    }
    const int saved_depth = FDepth;
    const std::string saved_current = FCurrent;
    FDepth = depth;
    FCurrent = obj.ClassName();
    obj.DefineProperties(*this);
    FDepth = saved_depth;
    FCurrent = saved_current;
  }

  void Line(int depth, const std::string& name, const std::string& value) {
    Indent(depth);
    FOut.append(name).append(" = ").append(value).append("\n");
  }

  void WriteProperty(TPersistent& obj, const PropertyInfo& p, int depth) {
    switch (p.Kind) {
      case PropertyKind::Integer:
      case PropertyKind::Boolean:
      case PropertyKind::Char:
      case PropertyKind::Enum:
      case PropertyKind::Set: {
        const std::int64_t v = p.GetOrdinal();
        if (p.Default && *p.Default == v) return;
        Line(depth, p.Name, OrdinalText(obj, p, v));
        return;
      }
      case PropertyKind::String: {
        const std::string v = p.GetString();
        if (!v.empty()) Line(depth, p.Name, Quote(v));
        return;
      }
      case PropertyKind::Object: {
        TPersistent* nested = p.GetObject ? p.GetObject() : nullptr;
        if (nested == nullptr) return;
        const std::size_t mark = FOut.size();
        Indent(depth);
        FOut.append(p.Name).append(" {\n");
        const std::size_t body = FOut.size();
        WriteProperties(*nested, depth + 1);
        if (FOut.size() == body) {
          FOut.resize(mark);  // nothing to store: leave the block out
          return;
        }
        Indent(depth);
        FOut.append("}\n");
        return;
      }
      case PropertyKind::Component: {
        TComponent* target = p.GetComponent ? p.GetComponent() : nullptr;
        // A reference is stored by name, and only to a component of this form.
        if (target == nullptr || target->Name().empty() || !InTree(target, &FRoot)) return;
        Line(depth, p.Name, target->Name());
        return;
      }
    }
  }

  std::string OrdinalText(TPersistent& obj, const PropertyInfo& p, std::int64_t v) {
    switch (p.Kind) {
      case PropertyKind::Boolean:
        return std::string(v != 0 ? detail::kKeywordTrue : detail::kKeywordFalse);
      case PropertyKind::Char:
        return "#" + std::to_string(v & 0xFF);
      case PropertyKind::Enum:
        if (v < 0 || static_cast<std::size_t>(v) >= p.Enumerators.size()) {
          throw EWriteError("form file: property \"" + p.Name + "\" of " + obj.ClassName() +
                            " has no enumerator " + std::to_string(v));
        }
        return p.Enumerators[static_cast<std::size_t>(v)];
      case PropertyKind::Set: {
        std::string text = "[";
        for (std::size_t i = 0; i < p.Enumerators.size() && i < 32; ++i) {
          if (((static_cast<std::uint64_t>(v) >> i) & 1u) == 0) continue;
          if (text.size() > 1) text += ", ";
          text += p.Enumerators[i];
        }
        return text + "]";
      }
      default:
        return std::to_string(v);
    }
  }

  std::string& FOut;
  TComponent& FRoot;
  int FDepth = 0;
  int FValues = 0;
  std::string FCurrent;
};

}  // namespace

std::string WriteComponentToString(TComponent& Root) {
  std::string out;
  FormWriter writer(out, Root);
  writer.WriteComponent(Root, 0);
  return out;
}

void WriteComponent(TStream& Stream, TComponent& Root) {
  const std::string text = WriteComponentToString(Root);
  Stream.WriteBuffer(text.data(), text.size());
}

}  // namespace wordloom
