// deleteFiles: masks with their Windows meaning, files only or sub-folders too, and links removed
// without touching what they point to.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/Arquivos.h"
#include "util/vekFileUtils.h"

namespace fs = std::filesystem;

namespace {

using TempFolder = teste::PastaTemporaria;
using teste::Grava;

// The entries left under folder, relative and sorted ("sub/", "sub/a.txt", ...).
std::vector<std::string> listing(const std::string& folder) {
  std::vector<std::string> out;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator();
       ++it) {
    std::string rel = fs::relative(it->path(), folder).string();
    if (it->is_directory() && !it->is_symlink()) rel += "/";
    out.push_back(rel);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A package-like folder: two files (one without a dot), a hidden file and a sub-folder.
void fill(const std::string& f) {
  Grava(f + "/version.dat", "1.2.0.15\n");
  Grava(f + "/LEIAME", "x");
  Grava(f + "/.oculto", "x");
  fs::create_directories(f + "/lib");
  Grava(f + "/lib/a.jar", "x");
}

TEST(DeleteFiles, MasksMatchAsOnWindows) {
  struct Row {
    const char* name;
    const char* mask;
    bool match;
  } rows[] = {
      {"a.txt", "*.*", true},    {"LEIAME", "*.*", true},  {".oculto", "*.*", true},
      {"a.txt", "*", true},      {"a.txt", "*.TXT", true}, {"A.TXT", "a.txt", true},
      {"a.txt", "*.doc", false}, {"abc", "a?c", true},     {"abc", "a?", false},
      {"abc", "abc.*", true},    {"abc.d", "abc.*", true}, {"abcd", "abc.*", false},
      {"a.b.c", "*.c", true},    {"abc", "", false},       {"abc", "../*", false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(util::TFileUtils::matchesMask(r.name, r.mask), r.match) << r.name << " " << r.mask;
}

TEST(DeleteFiles, WithoutRecursionOnlyFilesGo) {
  TempFolder t("del");
  fill(t.caminho());
  util::TFileUtils::deleteFiles(t.caminho() + "/", "*.*", false, true);
  EXPECT_EQ(listing(t.caminho()), (std::vector<std::string>{"lib/", "lib/a.jar"}));
}

TEST(DeleteFiles, WithRecursionSubFoldersGoToo) {
  TempFolder t("delr");
  fill(t.caminho());
  util::TFileUtils::deleteFiles(t.caminho(), "*.*", true, true);
  EXPECT_TRUE(fs::is_directory(t.caminho()));
  EXPECT_EQ(listing(t.caminho()), std::vector<std::string>{});
}

TEST(DeleteFiles, OnlyMatchingEntriesGo) {
  TempFolder t("delm");
  fill(t.caminho());
  util::TFileUtils::deleteFiles(t.caminho(), "*.DAT", true, false);
  EXPECT_EQ(listing(t.caminho()),
            (std::vector<std::string>{".oculto", "LEIAME", "lib/", "lib/a.jar"}));
}

TEST(DeleteFiles, LinksAreRemovedNotFollowed) {
  TempFolder outside("alvo");
  Grava(outside / "keep.txt", "x");
  fs::create_directory(outside / "dir");
  Grava(outside / "dir/keep2.txt", "x");
  TempFolder t("dell");
  fs::create_directory_symlink(outside.caminho(), t / "link-to-folder");
  fs::create_symlink(outside / "keep.txt", t / "link-to-file");
  fs::create_directory(t / "sub");
  fs::create_directory_symlink(outside / "dir", t / "sub/inner-link");
  util::TFileUtils::deleteFiles(t.caminho(), "*.*", true, true);
  EXPECT_EQ(listing(t.caminho()), std::vector<std::string>{});
  EXPECT_EQ(listing(outside.caminho()),
            (std::vector<std::string>{"dir/", "dir/keep2.txt", "keep.txt"}));
}

TEST(DeleteFiles, MissingFolderIsNotAnError) {
  TempFolder t("delx");
  EXPECT_NO_THROW(util::TFileUtils::deleteFiles(t / "nope", "*.*", true, true));
}

}  // namespace
