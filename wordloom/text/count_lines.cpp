#include "wordloom/text/count_lines.h"

#include <charconv>
#include <string>

namespace wordloom {

void ForEachCountLine(std::string_view Data, const std::function<void(const CountLine&)>& Each) {
  std::size_t number = 0;
  while (!Data.empty()) {
    const std::size_t end = std::min(Data.find('\n'), Data.size());
    std::string_view line = Data.substr(0, end);
    Data.remove_prefix(std::min(end + 1, Data.size()));
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) {
      throw EConvertError(std::to_string(number) + ": expected word<TAB>count");
    }
    const std::string_view digits = line.substr(tab + 1);
    std::uint64_t count = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || count == 0) {
      throw EConvertError(std::to_string(number) +
                          ": the count must be a whole number from 1 to 18446744073709551615");
    }
    Each({number, line.substr(0, tab), count});
  }
}

}  // namespace wordloom
