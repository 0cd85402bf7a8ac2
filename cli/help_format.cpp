#include "help_format.h"

#include <map>
#include <regex>

namespace wordloom::cli {

namespace {

// Value names by option (its longest name) or positional name.
const std::map<std::string, std::string>& ValueNames() {
  static const std::map<std::string, std::string> names = {
      {"--dictionary", "DICT"}, {"--output", "DICT"},
      {"dictionary", "DICT"},   {"--password-file", "FILE"},
      {"-p", "FILE"},           {"--counts", "FILE"},
      {"--personal", "FILE"},
      {"files", "FILE"},        {"in", "IN"},
      {"out", "OUT"},           {"--encoding", "NAME"},
      {"--from", "WORD"},       {"--to", "WORD"},
      {"words", "WORD"}};
  return names;
}

// The generic type names CLI11 gives by the value's C++ type.
bool IsGenericType(const std::string& Type) {
  return Type.empty() || Type == "TEXT" || Type == "INT" || Type == "UINT" || Type == "FLOAT" ||
         Type == "BOOLEAN" || Type == "CHAR";
}

bool IsNumberType(const std::string& Type) {
  return Type == "INT" || Type == "UINT" || Type == "FLOAT";
}

}  // namespace

std::string ValueName(const CLI::Option& Opt) {
  // get_type_name() is the type followed by ":" and each validator's text.
  const std::string full = Opt.get_type_name();
  const std::string type = full.substr(0, full.find(':'));
  if (!IsGenericType(type)) return type;
  const auto named = ValueNames().find(Opt.get_name(false, false));
  if (named != ValueNames().end()) return named->second;
  return IsNumberType(type) ? "N" : "ARG";
}

std::string HelpFormatter::make_option_opts(const CLI::Option* Opt) const {
  // A flag has no type name.
  if (Opt->get_type_size() == 0 || Opt->get_type_name().empty()) return {};
  std::string out = " " + ValueName(*Opt);
  if (Opt->get_expected_max() == CLI::detail::expected_max_vector_size) out += "...";
  return out;
}

std::string HelpFormatter::make_option_desc(const CLI::Option* Opt) const {
  std::string desc = Opt->get_description();
  // CLI::Range describes itself as "INT in [1 - 7]".
  static const std::regex kRange(R"(in \[(-?[0-9.]+) - (-?[0-9.]+)\])");
  std::smatch range;
  const std::string type = Opt->get_type_name();
  if (std::regex_search(type, range, kRange)) {
    desc += " (" + range[1].str() + " to " + range[2].str() + ")";
  }
  if (Opt->get_required() && !Opt->get_positional()) desc += " (required)";
  return desc;
}

}  // namespace wordloom::cli
