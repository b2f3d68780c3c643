// getFileVersion and the PE version reader: a minimal program file with a version resource built
// here byte by byte, one without, and broken and hostile variants (no crash, 0.0.0.0).
#include <gtest/gtest.h>

#include <random>

#include "support/Arquivos.h"
#include "util/vekFileUtils.h"
#include "util/vekNumberFormat.h"
#include "util/vekPeVersion.h"

namespace {

using TempFolder = teste::PastaTemporaria;
using teste::Grava;

void put16(std::string& b, size_t at, uint32_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& b, size_t at, uint32_t v) {
  put16(b, at, v & 0xFFFF);
  put16(b, at + 2, v >> 16);
}

// File offsets of the parts of the image below.
constexpr size_t kPe = 0x80;        // "PE\0\0"
constexpr size_t kOptional = 0x98;  // optional header
constexpr size_t kRsrc = 0x400;     // resource section data (address 0x2000)
constexpr size_t kNameDir = kRsrc + 0x18;
constexpr size_t kLangDir = kRsrc + 0x30;
constexpr size_t kDataEntry = kRsrc + 0x48;
constexpr size_t kVersionInfo = kRsrc + 0x58;
constexpr size_t kFixedInfo = kVersionInfo + 40;
constexpr size_t kVersionEnd = kVersionInfo + 92;

// A two-section image (.text, .rsrc) whose resources hold one version resource (type 16, name 1,
// language 0x0416) with file version ms.ls; with version false the only resource is an icon (3).
std::string buildImage(bool pe64, uint32_t ms, uint32_t ls, bool version = true) {
  std::string b(0x600, '\0');
  b[0] = 'M', b[1] = 'Z';
  put32(b, 0x3C, kPe);
  b.replace(kPe, 4, std::string("PE\0\0", 4));
  size_t coff = kPe + 4;
  put16(b, coff + 0, pe64 ? 0x8664 : 0x14C);
  put16(b, coff + 2, 2);                    // sections
  put16(b, coff + 16, pe64 ? 0xF0 : 0xE0);  // optional header size
  put16(b, coff + 18, 0x0102);
  put16(b, kOptional, pe64 ? 0x20B : 0x10B);
  size_t dirs = kOptional + (pe64 ? 112 : 96);
  put32(b, dirs - 4, 16);       // number of data directories
  put32(b, dirs + 16, 0x2000);  // resource directory address
  put32(b, dirs + 20, 0x200);   //   and size
  size_t sections = kOptional + (pe64 ? 0xF0 : 0xE0);
  const struct {
    const char* name;
    uint32_t va, raw, ptr;
  } table[] = {{".text", 0x1000, 0x200, 0x200}, {".rsrc", 0x2000, 0x200, 0x400}};
  for (size_t i = 0; i < 2; ++i) {
    size_t h = sections + i * 40;
    b.replace(h, 5, table[i].name);
    put32(b, h + 8, table[i].raw);  // virtual size
    put32(b, h + 12, table[i].va);
    put32(b, h + 16, table[i].raw);
    put32(b, h + 20, table[i].ptr);
  }
  // Resource tree: root (one entry by number) -> names -> languages -> data entry.
  put16(b, kRsrc + 14, 1);
  put32(b, kRsrc + 16, version ? 16 : 3);
  put32(b, kRsrc + 20, 0x80000018);
  put16(b, kNameDir + 14, 1);
  put32(b, kNameDir + 16, 1);
  put32(b, kNameDir + 20, 0x80000030);
  put16(b, kLangDir + 14, 1);
  put32(b, kLangDir + 16, 0x0416);
  put32(b, kLangDir + 20, 0x48);
  put32(b, kDataEntry, 0x2058);
  put32(b, kDataEntry + 4, 92);
  // VS_VERSIONINFO: lengths, type, key "VS_VERSION_INFO" in UTF-16, padding, VS_FIXEDFILEINFO.
  put16(b, kVersionInfo, 92);
  put16(b, kVersionInfo + 2, 52);
  const char key[] = "VS_VERSION_INFO";
  for (size_t i = 0; key[i]; ++i) put16(b, kVersionInfo + 6 + 2 * i, static_cast<uint8_t>(key[i]));
  put32(b, kFixedInfo, 0xFEEF04BD);
  put32(b, kFixedInfo + 4, 0x00010000);
  put32(b, kFixedInfo + 8, ms);
  put32(b, kFixedInfo + 12, ls);
  put32(b, kFixedInfo + 16, ms);
  put32(b, kFixedInfo + 20, ls);
  return b;
}

// Version 1.2.0.15.
const uint32_t kMs = 0x00010002, kLs = 0x0000000F;

std::string versionText(const std::string& bytes) {
  auto v = util::readPeFileVersion(bytes);
  if (!v) return "none";
  return std::to_string(v->ms >> 16) + "." + std::to_string(v->ms & 0xFFFF) + "." +
         std::to_string(v->ls >> 16) + "." + std::to_string(v->ls & 0xFFFF);
}

TEST(FileVersion, ReadsTheVersionResourceOfPe32AndPe32Plus) {
  EXPECT_EQ(versionText(buildImage(false, kMs, kLs)), "1.2.0.15");
  EXPECT_EQ(versionText(buildImage(true, 0x000A0000, 0x4A610001)), "10.0.19041.1");
  EXPECT_EQ(versionText(buildImage(false, 0xFFFFFFFF, 0xFFFFFFFF)), "65535.65535.65535.65535");
}

TEST(FileVersion, GetFileVersionFormatsTheChosenParts) {
  TempFolder t("pe");
  Grava(t / "app.exe", buildImage(false, kMs, kLs));
  struct Row {
    const char* parts;
    const char* format;
    const char* text;
  } rows[] = {
      {"1234", "%.d", "1.2.0.15"},
      {"1234", "%d", "1.2.0.15"},
      {"12", "%.d", "1.2"},
      {"4321", "%.d", "15.0.2.1"},
      {"", "%.d", ""},
      {"1x4", "%.d", "1.15"},
      {"1234", "%.2d", "01.02.00.15"},
      {"34", "v%d", "v0.v15"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(util::TFileUtils::getFileVersion(t / "app.exe", r.parts, r.format), r.text)
        << r.parts << " " << r.format;
  EXPECT_EQ(util::TFileUtils::getFileVersion(t / "app.exe"), "1.2.0.15");
}

TEST(FileVersion, FilesWithoutAVersionGiveZeros) {
  TempFolder t("nover");
  Grava(t / "icon.exe", buildImage(false, kMs, kLs, false));
  std::string noResources = buildImage(false, kMs, kLs);
  put32(noResources, kOptional + 96 + 16, 0);  // no resource directory
  Grava(t / "nores.exe", noResources);
  Grava(t / "script.exe", "#!/bin/sh\necho assinador\n");
  Grava(t / "empty.exe", "");
  std::filesystem::create_directory(t / "folder.exe");
  for (const char* name :
       {"icon.exe", "nores.exe", "script.exe", "empty.exe", "folder.exe", "missing.exe"})
    EXPECT_EQ(util::TFileUtils::getFileVersion(t / name), "0.0.0.0") << name;
}

TEST(FileVersion, TruncatedImageGivesNothingUntilTheVersionBlockIsWhole) {
  std::string whole = buildImage(false, kMs, kLs);
  for (size_t n = 0; n < whole.size(); ++n) {
    std::string cut = whole.substr(0, n);
    EXPECT_EQ(versionText(cut), n < kVersionEnd ? "none" : "1.2.0.15") << n;
  }
}

TEST(FileVersion, HostileImagesGiveNothing) {
  struct Row {
    const char* what;
    size_t at;
    uint32_t value;
    bool wide;  // 32-bit field (else 16-bit)
  } rows[] = {
      {"PE offset past the end", 0x3C, 0xFFFFFFF0, true},
      {"PE offset at the end", 0x3C, 0x600 - 2, true},
      {"huge section count", kPe + 6, 0xFFFF, false},
      {"optional header larger than the file", kPe + 20, 0xFFFF, false},
      {"optional header too small", kPe + 20, 0x60, false},
      {"unknown optional header", kOptional, 0x107, false},
      {"two data directories only", kOptional + 92, 2, true},
      {"resource address outside every section", kOptional + 96 + 16, 0x90000000, true},
      {"huge root entry count", kRsrc + 12, 0xFFFF, true},
      {"root pointing at itself", kRsrc + 20, 0x80000000, true},
      {"name directory pointing at itself", kNameDir + 20, 0x80000018, true},
      {"language directory pointing at itself", kLangDir + 20, 0x80000030, true},
      {"directory offset past the section", kRsrc + 20, 0xFFFFFFF0, true},
      {"type entry that is not a directory", kRsrc + 20, 0x18, true},
      {"data address past the section", kDataEntry, 0x21F0, true},
      {"data address wraps around", kDataEntry, 0xFFFFFFF8, true},
      {"data size huge", kDataEntry + 4, 0xFFFFFFFF, true},
      {"block length too small", kVersionInfo, 20, false},
      {"value length too small", kVersionInfo + 2, 40, false},
      {"wrong signature", kFixedInfo, 0xFEEF04BC, true},
      {"raw data pointer past the end", kOptional + 0xE0 + 40 + 20, 0xFFFFFF00, true},
  };
  for (const Row& r : rows) {
    std::string b = buildImage(false, kMs, kLs);
    if (r.wide)
      put32(b, r.at, r.value);
    else
      put16(b, r.at, r.value);
    EXPECT_EQ(versionText(b), "none") << r.what;
  }
  // A key without its terminating null running to the end of the block.
  std::string b = buildImage(false, kMs, kLs);
  for (size_t i = kVersionInfo + 6; i < kVersionEnd; i += 2) put16(b, i, 'A');
  EXPECT_EQ(versionText(b), "none") << "unterminated key";
}

// Random damage to the fields the reader walks through; run under the sanitizers, any read out of
// bounds fails the test. The reader answers either nothing or some version, never more.
TEST(FileVersion, RandomlyDamagedImagesAreReadWithinBounds) {
  const std::string whole = buildImage(true, kMs, kLs);
  const std::pair<size_t, size_t> regions[] = {
      {0x3C, 0x40}, {kPe, kOptional + 0xF0 + 80}, {kRsrc, kVersionEnd}};
  std::mt19937 rng(20200101);
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string b = whole;
    int flips = 1 + static_cast<int>(rng() % 4);
    for (int f = 0; f < flips; ++f) {
      const auto& r = regions[rng() % 3];
      size_t at = r.first + rng() % (r.second - r.first);
      b[at] = static_cast<char>(rng() % 3 == 0 ? 0xFF : rng() & 0xFF);
    }
    if (rng() % 8 == 0) b.resize(rng() % b.size());
    if (util::readPeFileVersion(b)) ++found;
  }
  EXPECT_GT(found, 0);  // some damage misses the walked fields; the version is still found
}

TEST(NumberFormat, WritesIntegersWithoutTheCLibrary) {
  struct Row {
    const char* format;
    int64_t value;
    const char* text;
  } rows[] = {
      {"%.d", 0, "0"},        {"%.d", 15, "15"},    {"%d", 0, "0"},         {"%.0d", 0, "0"},
      {"%3d", 5, "  5"},      {"%-3d|", 5, "5  |"}, {"%.3d", 7, "007"},     {"v%d.", 2, "v2."},
      {"%%%d", 1, "%1"},      {"%s", 1, "%s"},      {"%", 1, "%"},          {"%d", -12, "-12"},
      {"%.4d", -12, "-0012"}, {"%x", 1, "%x"},      {"%u", 65535, "65535"}, {"", 3, ""},
  };
  for (const Row& r : rows) EXPECT_EQ(util::formatInteger(r.format, r.value), r.text) << r.format;
  EXPECT_EQ(util::formatInteger("%99999999999d", 1).size(), 255u);
  EXPECT_EQ(util::formatInteger("%d", INT64_MIN), "-9223372036854775808");
}

}  // namespace
