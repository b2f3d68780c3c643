// Reading the fixed file version from the version resource of a Windows program file (PE32 and
// PE32+), by a small parser that checks every offset and size against the file before reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace util {

// The file version of a VS_FIXEDFILEINFO: major.minor in ms, release.build in ls.
struct FixedFileVersion {
  uint32_t ms = 0;
  uint32_t ls = 0;
};

// Random access to the bytes of a file or of a buffer.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Copies n bytes at offset into out; false when any of them lies past the end or cannot be read.
  virtual bool read(uint64_t offset, void* out, size_t n) const = 0;
};

// The version of the first language of the first version resource, or nothing when the bytes are
// not a PE image, have no version resource, or anything on the way is out of bounds or malformed.
std::optional<FixedFileVersion> readPeFileVersion(const ByteSource& source);
std::optional<FixedFileVersion> readPeFileVersion(std::string_view bytes);
// The same for a file; nothing when it cannot be opened or is not a regular file.
std::optional<FixedFileVersion> readPeFileVersionOfFile(const std::string& path);

}  // namespace util
