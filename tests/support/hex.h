// Bytes written as upper-case hex pairs separated by spaces ("5C 01 00"), the
// way the format documents show them.
#pragma once

#include <string>
#include <string_view>

namespace wordloom::testing_support {

// "\x5C\x01" -> "5C 01".
std::string ToHex(std::string_view Bytes);
// "5C 01" -> "\x5C\x01". REQUIRES: pairs of hex digits, each after the first
// preceded by one space (std::invalid_argument otherwise).
std::string FromHex(std::string_view Text);

}  // namespace wordloom::testing_support
