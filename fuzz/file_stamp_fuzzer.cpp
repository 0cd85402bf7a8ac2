// Feeds arbitrary bytes to the stamp reader. The first byte chooses the kind
// asked for and whether the checksum is put right first, so that most inputs
// reach the fields rather than stopping at the checksum. A stamp that is read
// is written back to the very same bytes: nothing in it goes unchecked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <xxhash.h>

#include "storage/file_stamp.h"
#include "wordloom/platform/coding.h"

namespace {

using namespace wordloom::detail;

constexpr std::size_t kChecksumAt = 72;  // the stamp's checksum field

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const StampKind kind = (data[0] & 1) != 0 ? StampKind::kSpellKey : StampKind::kFormChecksum;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  auto* b = reinterpret_cast<std::uint8_t*>(bytes.data());
  if ((data[0] & 2) != 0 && bytes.size() >= kChecksumAt + 8) {
    wordloom::EncodeFixed64(b + kChecksumAt, XXH3_64bits(b, kChecksumAt));
  }
  FileIdentity identity;
  StampValue value;
  if (!ParseStamp(b, bytes.size(), kind, identity, value)) return 0;
  if (EncodeStamp(kind, identity, value) != bytes) std::abort();
  return 0;
}
