// Reads form files (docs/form-files.md). The input is untrusted: every token is
// checked, nesting is bounded, nothing is allocated beyond what the text holds,
// and every fault is an EReadError naming the line.
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "form_format_internal.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/form_file.h"
#include "wordloom/platform/string_list.h"

namespace wordloom {

namespace {

enum class Tok { End, Ident, Integer, String, Char, Symbol, Binary };

struct Token {
  Tok Kind = Tok::End;
  std::string Text;  // identifier, digits, decoded string or binary bytes
  char Symbol = 0;
  int Line = 1;
};

const char* KindName(Tok kind) {
  switch (kind) {
    case Tok::End: return "end of file";
    case Tok::Ident: return "identifier";
    case Tok::Integer: return "integer";
    case Tok::String: return "string";
    case Tok::Char: return "character";
    case Tok::Symbol: return "symbol";
    case Tok::Binary: return "binary data";
  }
  return "token";
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw EReadError("form file line " + std::to_string(line) + ": " + what);
}

bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Lexer {
 public:
  explicit Lexer(std::string_view text) : FText(text) {}

  // The next token, without consuming it.
  const Token& Peek() {
    if (!FHasPeek) {
      FPeek = Scan();
      FHasPeek = true;
    }
    return FPeek;
  }
  Token Next() {
    Peek();
    FHasPeek = false;
    return std::move(FPeek);
  }
  int Line() { return Peek().Line; }

 private:
  void SkipSpace() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++FPos;
    }
  }

  Token Scan() {
    SkipSpace();
    Token t;
    t.Line = FLine;
    if (FPos >= FText.size()) return t;
    const char c = FText[FPos];
    if (IsIdentStart(c)) {
      t.Kind = Tok::Ident;
      const std::size_t start = FPos;
      while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos]))) ++FPos;
      t.Text.assign(FText.substr(start, FPos - start));
      return t;
    }
    if (IsDigit(c) || c == '-') {
      t.Kind = Tok::Integer;
      const std::size_t start = FPos++;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
      t.Text.assign(FText.substr(start, FPos - start));
      if (t.Text == "-") Fail(t.Line, "'-' without digits");
      return t;
    }
    if (c == '#') {
      t.Kind = Tok::Char;
      const std::size_t start = ++FPos;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
      t.Text.assign(FText.substr(start, FPos - start));
      if (t.Text.empty()) Fail(t.Line, "'#' without a character code");
      return t;
    }
    if (c == '"') return ScanString(t);
    if (c == '<') return ScanBinary(t);
    if (c == ':' || c == '=' || c == '{' || c == '}' || c == '[' || c == ']' || c == ',') {
      t.Kind = Tok::Symbol;
      t.Symbol = c;
      ++FPos;
      return t;
    }
    Fail(FLine, "unexpected character " + Describe(c));
  }

  static std::string Describe(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) return std::string("'") + c + "'";
    return "#" + std::to_string(u);
  }

  Token ScanString(Token& t) {
    t.Kind = Tok::String;
    ++FPos;  // the opening quote
    while (true) {
      if (FPos >= FText.size() || FText[FPos] == '\n') Fail(t.Line, "unterminated string");
      const char c = FText[FPos++];
      if (c == '"') return t;
      if (c != '\\') {
        t.Text += c;
        continue;
      }
      if (FPos >= FText.size()) Fail(t.Line, "unterminated string");
      const char e = FText[FPos++];
      if (e == '"' || e == '\\') {
        t.Text += e;
      } else if (e == 'x') {
        const int hi = FPos < FText.size() ? detail::HexValue(FText[FPos]) : -1;
        const int lo = FPos + 1 < FText.size() ? detail::HexValue(FText[FPos + 1]) : -1;
        if (hi < 0 || lo < 0) Fail(t.Line, "\\x in a string needs two hex digits");
        t.Text += static_cast<char>(hi * 16 + lo);
        FPos += 2;
      } else {
        Fail(t.Line, "unknown escape \\" + std::string(1, e) + " in a string");
      }
    }
  }

  Token ScanBinary(Token& t) {
    t.Kind = Tok::Binary;
    ++FPos;  // '<'
    int high = -1;
    while (true) {
      SkipSpace();
      if (FPos >= FText.size()) Fail(t.Line, "unterminated binary data (no '>')");
      const char c = FText[FPos++];
      if (c == '>') break;
      const int v = detail::HexValue(c);
      if (v < 0) Fail(FLine, "bad hex digit " + Describe(c) + " in binary data");
      if (high < 0) {
        high = v;
      } else {
        t.Text += static_cast<char>(high * 16 + v);
        high = -1;
      }
    }
    if (high >= 0) Fail(t.Line, "binary data has an odd number of hex digits");
    return t;
  }

  std::string_view FText;
  std::size_t FPos = 0;
  int FLine = 1;
  Token FPeek;
  bool FHasPeek = false;
};

// A reference read before the component it names; set once the form is read.
struct PendingReference {
  std::function<void(TComponent*)> Set;
  std::string Target;
  std::string Property;
  int Line;
};

class FormReader final : public TReader {
 public:
  explicit FormReader(std::string_view text) : FLex(text) {}

  // Reads the whole form. Root is nullptr to create the root from its class.
  TComponent* Read(TComponent* root, TComponent* owner) {
    TComponent* result = ReadObjectHeaderAndBody(root, owner, 0);
    const Token rest = FLex.Next();
    if (rest.Kind != Tok::End) Fail(rest.Line, "text after the final 'end'");
    ResolveReferences(*result);
    for (TComponent* c : FLoading) c->EndLoading();
    return result;
  }

  // On failure: the components created so far, outermost first.
  const std::vector<TComponent*>& Created() const { return FCreated; }

  // ---- TReader: one value of the custom property being read ----
  std::int64_t ReadInteger() override {
    return ParseInteger(ExpectValue(Tok::Integer), std::numeric_limits<std::int64_t>::min(),
                        std::numeric_limits<std::int64_t>::max());
  }
  bool ReadBoolean() override { return ParseBoolean(ExpectValue(Tok::Ident)); }
  std::uint8_t ReadChar() override { return ParseChar(ExpectValue(Tok::Char)); }
  std::string ReadString() override { return ExpectValue(Tok::String).Text; }
  std::string ReadIdent() override { return ExpectValue(Tok::Ident).Text; }

  // ---- TFiler: DefineProperties tells which custom property matches ----
  void DefineProperty(const std::string& Name, std::function<void(TReader&)> ReadData,
                      std::function<void(TWriter&)>, bool) override {
    if (FMatched || Name != FCustomName || !ReadData) return;
    FMatched = true;
    FValues = 0;
    ReadData(*this);
    if (FValues != 1) {
      Fail(FCustomLine, "property \"" + Name + "\" read " + std::to_string(FValues) +
                            " values instead of one");
    }
  }

  void DefineBinaryProperty(const std::string& Name, std::function<void(TStream&)> ReadData,
                            std::function<void(TStream&)>, bool) override {
    if (FMatched || Name != FCustomName || !ReadData) return;
    FMatched = true;
    Token t = FLex.Next();
    if (t.Kind != Tok::Binary) {
      Fail(t.Line, "property \"" + Name + "\" needs binary data <...>, not " + KindName(t.Kind));
    }
    TMemoryStream data(t.Text);
    ReadData(data);
  }

 private:
  Token ExpectValue(Tok kind) {
    ++FValues;
    if (FValues > 1) Fail(FCustomLine, "property \"" + FCustomName + "\" read more than one value");
    Token t = FLex.Next();
    if (t.Kind != kind) {
      Fail(t.Line, "property \"" + FCustomName + "\" needs a " + KindName(kind) + ", not " +
                       KindName(t.Kind));
    }
    return t;
  }

  Token Expect(Tok kind, const char* what) {
    Token t = FLex.Next();
    if (t.Kind != kind) Fail(t.Line, std::string("expected ") + what + ", found " + KindName(t.Kind));
    return t;
  }

  void ExpectSymbol(char symbol) {
    Token t = FLex.Next();
    if (t.Kind != Tok::Symbol || t.Symbol != symbol) {
      Fail(t.Line, std::string("expected '") + symbol + "', found " +
                       (t.Kind == Tok::Symbol ? std::string("'") + t.Symbol + "'"
                                              : std::string(KindName(t.Kind))));
    }
  }

  static void CheckDepth(int depth, int line) {
    if (depth >= kMaxFormNesting) {
      Fail(line, "nesting deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }
  }

  // "object [Name] : Class" then the body up to "end".
  TComponent* ReadObjectHeaderAndBody(TComponent* existing, TComponent* owner, int depth) {
    const Token kw = Expect(Tok::Ident, "'object'");
    if (kw.Text != detail::kKeywordObject) Fail(kw.Line, "expected 'object', found \"" + kw.Text + "\"");
    CheckDepth(depth, kw.Line);
    std::string name;
    if (FLex.Peek().Kind == Tok::Ident) name = FLex.Next().Text;
    ExpectSymbol(':');
    const Token cls = Expect(Tok::Ident, "a class name");

    TComponent* c = existing;
    if (c == nullptr) {
      const ComponentClass* type = FindComponentClass(cls.Text);
      if (type == nullptr) Fail(cls.Line, "unknown class " + cls.Text);
      c = type->Create(owner);
      if (c == nullptr) Fail(cls.Line, "class " + cls.Text + " created nothing");
      FCreated.push_back(c);
    } else if (cls.Text != c->ClassName()) {
      Fail(cls.Line, "the form holds a " + cls.Text + ", not a " + c->ClassName());
    }
    c->BeginLoading();
    FLoading.push_back(c);
    if (!name.empty() || existing == nullptr) Guard(cls.Line, [&] { c->SetName(name); });

    while (true) {
      const Token& ahead = FLex.Peek();
      if (ahead.Kind == Tok::Ident && ahead.Text == detail::kKeywordObject) {
        ReadObjectHeaderAndBody(nullptr, c, depth + 1);
        continue;
      }
      const Token t = FLex.Next();
      if (t.Kind == Tok::End) Fail(t.Line, "unexpected end of file: 'end' of " + cls.Text + " missing");
      if (t.Kind != Tok::Ident) Fail(t.Line, std::string("expected a property name, found ") + KindName(t.Kind));
      if (t.Text == detail::kKeywordEnd) return c;
      ReadPropertyOf(*c, t, depth);
    }
  }

  // After the name: "= value" or "{ ...nested properties... }".
  void ReadPropertyOf(TPersistent& obj, const Token& name, int depth) {
    PropertyList props;
    obj.GetProperties(props);
    const PropertyInfo* p = props.Find(name.Text);
    const Token op = FLex.Next();
    if (op.Kind == Tok::Symbol && op.Symbol == '{') {
      if (p == nullptr || p->Kind != PropertyKind::Object) {
        Fail(name.Line, "\"" + name.Text + "\" is no object property of " + obj.ClassName());
      }
      TPersistent* nested = p->GetObject ? p->GetObject() : nullptr;
      if (nested == nullptr) Fail(name.Line, "object property \"" + name.Text + "\" is nil");
      CheckDepth(depth + 1, name.Line);
      ReadNestedBody(*nested, depth + 1);
      return;
    }
    if (op.Kind != Tok::Symbol || op.Symbol != '=') {
      Fail(op.Line, "expected '=' or '{' after \"" + name.Text + "\"");
    }
    if (p != nullptr) {
      ReadPublished(obj, *p, name.Line);
      return;
    }
    // Not published: a custom property of DefineProperties, if one matches.
    FCustomName = name.Text;
    FCustomLine = name.Line;
    FMatched = false;
    Guard(name.Line, [&] { obj.DefineProperties(*this); });
    if (!FMatched) Fail(name.Line, "unknown property \"" + name.Text + "\" of " + obj.ClassName());
  }

  void ReadNestedBody(TPersistent& obj, int depth) {
    while (true) {
      const Token t = FLex.Next();
      if (t.Kind == Tok::Symbol && t.Symbol == '}') return;
      if (t.Kind == Tok::End) Fail(t.Line, "unexpected end of file: '}' missing");
      if (t.Kind != Tok::Ident) Fail(t.Line, std::string("expected a property name, found ") + KindName(t.Kind));
      ReadPropertyOf(obj, t, depth);
    }
  }

  void ReadPublished(TPersistent& obj, const PropertyInfo& p, int line) {
    const Token v = FLex.Next();
    auto wrong = [&](const char* expected) {
      Fail(v.Line, "property \"" + p.Name + "\" of " + obj.ClassName() + " needs " + expected +
                       ", not " + KindName(v.Kind));
    };
    switch (p.Kind) {
      case PropertyKind::Integer: {
        if (v.Kind != Tok::Integer) wrong("an integer");
        const std::int64_t n = ParseInteger(v, p.Min, p.Max);
        Guard(line, [&] { p.SetOrdinal(n); });
        return;
      }
      case PropertyKind::Boolean: {
        if (v.Kind != Tok::Ident) wrong("true or false");
        const bool b = ParseBoolean(v);
        Guard(line, [&] { p.SetOrdinal(b ? 1 : 0); });
        return;
      }
      case PropertyKind::Char: {
        if (v.Kind != Tok::Char) wrong("a character #n");
        const std::uint8_t c = ParseChar(v);
        Guard(line, [&] { p.SetOrdinal(c); });
        return;
      }
      case PropertyKind::String:
        if (v.Kind != Tok::String) wrong("a string");
        Guard(line, [&] { p.SetString(v.Text); });
        return;
      case PropertyKind::Enum: {
        if (v.Kind != Tok::Ident) wrong("an enumerator");
        const std::int64_t ordinal = EnumeratorOrdinal(p, v);
        Guard(line, [&] { p.SetOrdinal(ordinal); });
        return;
      }
      case PropertyKind::Set: {
        if (v.Kind != Tok::Symbol || v.Symbol != '[') wrong("a set [...]");
        const std::int64_t bits = ParseSetRest(p);
        Guard(line, [&] { p.SetOrdinal(bits); });
        return;
      }
      case PropertyKind::Component:
        if (v.Kind != Tok::Ident) wrong("a component name");
        if (v.Text == detail::kKeywordNil) {
          Guard(line, [&] { p.SetComponent(nullptr); });
        } else {
          FReferences.push_back({p.SetComponent, v.Text, p.Name, v.Line});
        }
        return;
      case PropertyKind::Object:
        Fail(line, "object property \"" + p.Name + "\" takes { ... }, not '='");
    }
  }

  static std::int64_t ParseInteger(const Token& t, std::int64_t min, std::int64_t max) {
    const bool negative = t.Text[0] == '-';
    std::uint64_t magnitude = 0;
    for (std::size_t i = negative ? 1 : 0; i < t.Text.size(); ++i) {
      const auto digit = static_cast<std::uint64_t>(t.Text[i] - '0');
      if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
        Fail(t.Line, "integer " + t.Text.substr(0, 40) + " is too large");
      }
      magnitude = magnitude * 10 + digit;
    }
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    if (magnitude > limit) Fail(t.Line, "integer " + t.Text.substr(0, 40) + " is too large");
    const std::int64_t value =
        negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    if (value < min || value > max) {
      Fail(t.Line, "value " + t.Text + " out of range " + std::to_string(min) + ".." +
                       std::to_string(max));
    }
    return value;
  }

  static bool ParseBoolean(const Token& t) {
    if (t.Text == detail::kKeywordTrue) return true;
    if (t.Text == detail::kKeywordFalse) return false;
    Fail(t.Line, "expected true or false, found \"" + t.Text + "\"");
  }

  static std::uint8_t ParseChar(const Token& t) {
    if (t.Text.size() > 3 || std::stoi(t.Text) > 255) Fail(t.Line, "character code #" + t.Text.substr(0, 10) + " above 255");
    return static_cast<std::uint8_t>(std::stoi(t.Text));
  }

  static std::int64_t EnumeratorOrdinal(const PropertyInfo& p, const Token& t) {
    for (std::size_t i = 0; i < p.Enumerators.size(); ++i) {
      if (p.Enumerators[i] == t.Text) return static_cast<std::int64_t>(i);
    }
    Fail(t.Line, "\"" + t.Text + "\" is no value of property \"" + p.Name + "\"");
  }

  // After '[': enumerators separated by commas, then ']'.
  std::int64_t ParseSetRest(const PropertyInfo& p) {
    std::int64_t bits = 0;
    if (FLex.Peek().Kind == Tok::Symbol && FLex.Peek().Symbol == ']') {
      FLex.Next();
      return 0;
    }
    while (true) {
      const Token e = FLex.Next();
      if (e.Kind != Tok::Ident) Fail(e.Line, std::string("expected an enumerator in a set, found ") + KindName(e.Kind));
      const std::int64_t ordinal = EnumeratorOrdinal(p, e);
      if (ordinal >= 32) Fail(e.Line, "set element \"" + e.Text + "\" beyond 32 values");
      bits |= std::int64_t{1} << ordinal;
      const Token sep = FLex.Next();
      if (sep.Kind == Tok::Symbol && sep.Symbol == ']') return bits;
      if (sep.Kind != Tok::Symbol || sep.Symbol != ',') Fail(sep.Line, "expected ',' or ']' in a set");
    }
  }

  // Runs a setter; a refusal becomes an EReadError naming the line.
  template <typename F>
  static void Guard(int line, F&& f) {
    try {
      f();
    } catch (const EReadError&) {
      throw;
    } catch (const std::exception& e) {
      Fail(line, e.what());
    }
  }

  static TComponent* FindInTree(TComponent& c, const std::string& name, int depth) {
    if (depth > kMaxFormNesting) return nullptr;
    if (CompareText(c.Name(), name) == 0) return &c;
    for (int i = 0; i < c.ComponentCount(); ++i) {
      if (TComponent* found = FindInTree(*c.Components(i), name, depth + 1)) return found;
    }
    return nullptr;
  }

  void ResolveReferences(TComponent& root) {
    for (const PendingReference& r : FReferences) {
      TComponent* target = FindInTree(root, r.Target, 0);
      if (target == nullptr) {
        Fail(r.Line, "property \"" + r.Property + "\" names \"" + r.Target +
                         "\", which is no component of this form");
      }
      Guard(r.Line, [&] { r.Set(target); });
    }
  }

  Lexer FLex;
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FLoading;
  std::vector<PendingReference> FReferences;
  std::string FCustomName;
  int FCustomLine = 0;
  bool FMatched = false;
  int FValues = 0;
};

std::string ReadAll(TStream& Stream) {
  const std::int64_t left = Stream.Size() - Stream.Position();
  if (left < 0) throw EReadError("form file: stream position beyond its end");
  if (static_cast<std::uint64_t>(left) > kMaxFormFileSize) {
    throw EReadError("form file: larger than " + std::to_string(kMaxFormFileSize) + " bytes");
  }
  std::string text(static_cast<std::size_t>(left), '\0');
  Stream.ReadBuffer(text.data(), text.size());
  return text;
}

}  // namespace

TComponent* ReadComponentFromString(std::string_view Text, TComponent* Owner) {
  if (Text.size() > kMaxFormFileSize) throw EReadError("form file: too large");
  FormReader reader(Text);
  try {
    return reader.Read(nullptr, Owner);
  } catch (...) {
    // The first component created is the root; it takes the others with it.
    if (!reader.Created().empty()) delete reader.Created().front();
    throw;
  }
}

TComponent* ReadComponent(TStream& Stream, TComponent* Owner) {
  const std::string text = ReadAll(Stream);
  return ReadComponentFromString(text, Owner);
}

void ReadComponentIntoFromString(std::string_view Text, TComponent& Root) {
  if (Text.size() > kMaxFormFileSize) throw EReadError("form file: too large");
  FormReader reader(Text);
  try {
    reader.Read(&Root, nullptr);
  } catch (...) {
    // Remove the components this read created, innermost first.
    const auto& created = reader.Created();
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
      if ((*it)->Owner() == &Root) delete *it;
    }
    Root.AbortLoading();
    throw;
  }
}

void ReadComponentInto(TStream& Stream, TComponent& Root) {
  const std::string text = ReadAll(Stream);
  ReadComponentIntoFromString(text, Root);
}

}  // namespace wordloom
