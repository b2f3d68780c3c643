#include "util/vekPeVersion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace util {

namespace {

constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedFileInfoSize = 52;
constexpr uint32_t kHighBit = 0x80000000u;
// Enough of a version resource to hold its header, its key and the fixed file information.
constexpr size_t kVersionHeadBytes = 1024;

// Little-endian reads from a byte buffer whose bounds the caller has checked.
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A section's place in memory and in the file.
struct Section {
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawPointer = 0;
};

// The parser's view of one image: bounded reads by file offset and by relative virtual address.
class PeReader {
 public:
  explicit PeReader(const ByteSource& s) : src_(s) {}

  // Reads n bytes at a file offset into out (resized); false when out of bounds.
  bool at(uint64_t offset, size_t n, std::vector<uint8_t>& out) const {
    out.resize(n);
    if (n == 0) return true;
    if (offset > src_.size() || n > src_.size() - offset) return false;
    return src_.read(offset, out.data(), n);
  }

  // Reads n bytes at an address, all of which must lie in the file data of one section.
  bool atRva(uint64_t rva, size_t n, std::vector<uint8_t>& out) const {
    for (const Section& s : sections_) {
      if (rva < s.virtualAddress) continue;
      uint64_t delta = rva - s.virtualAddress;
      if (delta >= s.rawSize || n > s.rawSize - delta) continue;
      return at(static_cast<uint64_t>(s.rawPointer) + delta, n, out);
    }
    return false;
  }

  // Walks the headers up to the section table; gives the resource directory's address.
  bool readHeaders(uint32_t& resourceRva) {
    std::vector<uint8_t> b;
    if (!at(0, 64, b) || b[0] != 'M' || b[1] != 'Z') return false;
    uint64_t pe = le32(&b[0x3C]);
    if (!at(pe, 24, b) || std::memcmp(b.data(), "PE\0\0", 4) != 0) return false;
    uint16_t sectionCount = le16(&b[6]);
    uint16_t optionalSize = le16(&b[20]);
    uint64_t optional = pe + 24;
    if (!at(optional, optionalSize, b) || optionalSize < 2) return false;
    size_t countOffset, directoriesOffset;
    switch (le16(&b[0])) {
      case 0x10B:  // PE32
        countOffset = 92, directoriesOffset = 96;
        break;
      case 0x20B:  // PE32+
        countOffset = 108, directoriesOffset = 112;
        break;
      default:
        return false;
    }
    size_t resourceEntry = directoriesOffset + 2 * 8;  // the third data directory
    if (optionalSize < resourceEntry + 8 || le32(&b[countOffset]) < 3) return false;
    resourceRva = le32(&b[resourceEntry]);
    if (resourceRva == 0) return false;

    if (!at(optional + optionalSize, static_cast<size_t>(sectionCount) * 40, b)) return false;
    sections_.resize(sectionCount);
    for (size_t i = 0; i < sectionCount; ++i) {
      const uint8_t* h = &b[i * 40];
      sections_[i].virtualAddress = le32(h + 12);
      sections_[i].rawSize = le32(h + 16);
      sections_[i].rawPointer = le32(h + 20);
    }
    return true;
  }

  // The entry of the resource directory at dirOffset whose id matches (any entry when id is
  // negative); gives its raw OffsetToData.
  bool findEntry(uint32_t root, uint32_t dirOffset, int64_t id, uint32_t& target) const {
    std::vector<uint8_t> b;
    if (!atRva(static_cast<uint64_t>(root) + dirOffset, 16, b)) return false;
    size_t named = le16(&b[12]), ids = le16(&b[14]);
    size_t count = named + ids;
    if (count == 0) return false;
    if (!atRva(static_cast<uint64_t>(root) + dirOffset + 16, count * 8, b)) return false;
    if (id < 0) {
      target = le32(&b[4]);
      return true;
    }
    for (size_t i = named; i < count; ++i) {  // the entries named by number follow the named ones
      uint32_t name = le32(&b[i * 8]);
      if ((name & kHighBit) == 0 && name == static_cast<uint32_t>(id)) {
        target = le32(&b[i * 8 + 4]);
        return true;
      }
    }
    return false;
  }

 private:
  const ByteSource& src_;
  std::vector<Section> sections_;
};

// Reads the fixed file information from the start of a VS_VERSIONINFO block.
std::optional<FixedFileVersion> parseVersionInfo(const std::vector<uint8_t>& b) {
  if (b.size() < 6) return std::nullopt;
  size_t length = le16(&b[0]);
  size_t valueLength = le16(&b[2]);
  size_t limit = std::min(b.size(), length);
  if (limit < 6 || valueLength < kFixedFileInfoSize) return std::nullopt;
  size_t pos = 6;  // the key, UTF-16 up to a null character ("VS_VERSION_INFO")
  while (true) {
    if (pos + 2 > limit) return std::nullopt;
    bool end = le16(&b[pos]) == 0;
    pos += 2;
    if (end) break;
  }
  pos = (pos + 3) & ~static_cast<size_t>(3);
  if (pos > limit || kFixedFileInfoSize > limit - pos) return std::nullopt;
  if (le32(&b[pos]) != kFixedFileInfoSignature) return std::nullopt;
  return FixedFileVersion{le32(&b[pos + 8]), le32(&b[pos + 12])};
}

// A byte source over memory.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view b) : b_(b) {}
  uint64_t size() const override { return b_.size(); }
  bool read(uint64_t offset, void* out, size_t n) const override {
    if (offset > b_.size() || n > b_.size() - offset) return false;
    std::memcpy(out, b_.data() + offset, n);
    return true;
  }

 private:
  std::string_view b_;
};

// A byte source over an open file descriptor.
class FileSource : public ByteSource {
 public:
  FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  uint64_t size() const override { return size_; }
  bool read(uint64_t offset, void* out, size_t n) const override {
    auto* p = static_cast<uint8_t*>(out);
    while (n > 0) {
      ssize_t got = ::pread(fd_, p, n, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      p += got, n -= static_cast<size_t>(got), offset += static_cast<uint64_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  uint64_t size_;
};

}  // namespace

// Follows the resource tree: type RT_VERSION, its first name, that name's first language.
std::optional<FixedFileVersion> readPeFileVersion(const ByteSource& source) {
  PeReader pe(source);
  uint32_t root = 0;
  if (!pe.readHeaders(root)) return std::nullopt;
  uint32_t typeEntry = 0, nameEntry = 0, languageEntry = 0;
  if (!pe.findEntry(root, 0, kRtVersion, typeEntry) || (typeEntry & kHighBit) == 0)
    return std::nullopt;
  if (!pe.findEntry(root, typeEntry & ~kHighBit, -1, nameEntry) || (nameEntry & kHighBit) == 0)
    return std::nullopt;
  // The third level must hold data, not yet another directory: this also ends any cycle.
  if (!pe.findEntry(root, nameEntry & ~kHighBit, -1, languageEntry) ||
      (languageEntry & kHighBit) != 0)
    return std::nullopt;
  std::vector<uint8_t> b;
  if (!pe.atRva(static_cast<uint64_t>(root) + languageEntry, 16, b)) return std::nullopt;
  uint32_t dataRva = le32(&b[0]);
  uint32_t dataSize = le32(&b[4]);
  size_t n = std::min<size_t>(dataSize, kVersionHeadBytes);
  if (!pe.atRva(dataRva, n, b)) return std::nullopt;
  return parseVersionInfo(b);
}

// Parses an image held in memory.
std::optional<FixedFileVersion> readPeFileVersion(std::string_view bytes) {
  return readPeFileVersion(MemorySource(bytes));
}

// Parses a regular file, reading only the parts the walk needs.
std::optional<FixedFileVersion> readPeFileVersionOfFile(const std::string& path) {
  // Non-blocking, so a named pipe in the place of the file cannot stall the open.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<FixedFileVersion> v;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
    v = readPeFileVersion(FileSource(fd, static_cast<uint64_t>(st.st_size)));
  ::close(fd);
  return v;
}

}  // namespace util
