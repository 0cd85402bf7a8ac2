// A compact form made in memory, opened in place for a test.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "checking/compact_form.h"

namespace wordloom::testing_support {

// The form in Bytes (CompactForm::Build), opened from an aligned copy that
// the form keeps alive; nullptr and Why set when Open refuses it.
inline std::shared_ptr<const detail::CompactForm> OpenBuiltForm(const std::string& Bytes,
                                                                std::string& Why) {
  auto aligned = std::make_shared<std::vector<std::uint64_t>>((Bytes.size() + 7) / 8);
  std::memcpy(aligned->data(), Bytes.data(), Bytes.size());
  return detail::CompactForm::Open(reinterpret_cast<const std::uint8_t*>(aligned->data()),
                                   Bytes.size(), aligned, Why);
}

}  // namespace wordloom::testing_support
