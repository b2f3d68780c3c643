#include "util/vekFileUtils.h"

#include <filesystem>
#include <vector>

#include "util/vekNumberFormat.h"
#include "util/vekPeVersion.h"

namespace fs = std::filesystem;

namespace util {

namespace {

// ASCII letter case folding, as file names are compared on the system the masks come from.
char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Wildcard match of name against pattern ("*" any run, "?" one character), letter case ignored.
bool wildcardMatch(std::string_view name, std::string_view pattern) {
  size_t n = 0, p = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
      ++n, ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++, starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1, n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

// Formats the selected components of the file's fixed version.
std::string TFileUtils::getFileVersion(const std::string& path, const std::string& parts,
                                       const std::string& numberFormat) {
  FixedFileVersion v = readPeFileVersionOfFile(path).value_or(FixedFileVersion{});
  std::string text;
  for (char c : parts) {
    uint32_t component;
    switch (c) {
      case '1':
        component = v.ms >> 16;
        break;
      case '2':
        component = v.ms & 0xFFFF;
        break;
      case '3':
        component = v.ls >> 16;
        break;
      case '4':
        component = v.ls & 0xFFFF;
        break;
      default:
        continue;
    }
    if (!text.empty()) text += '.';
    text += formatInteger(numberFormat, component);
  }
  return text;
}

// Matches a name the way the system's shell matches a file mask.
bool TFileUtils::matchesMask(std::string_view name, std::string_view mask) {
  if (mask.empty() || mask.find('/') != std::string_view::npos) return false;
  if (wildcardMatch(name, mask)) return true;
  // A mask ending in ".*" also matches the name without any extension ("*.*" matches "LEIAME").
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos)
    return wildcardMatch(name, mask.substr(0, mask.size() - 2));
  return false;
}

// Removes the matching entries of the folder, without following links, ignoring failures.
void TFileUtils::deleteFiles(const std::string& folder, const std::string& mask, bool recursive,
                             bool /*silent*/) {
  std::error_code ec;
  std::vector<fs::path> victims;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::directory_entry& e = *it;
    if (!matchesMask(e.path().filename().string(), mask)) continue;
    std::error_code sec;
    fs::file_status st = e.symlink_status(sec);
    if (sec) continue;
    if (fs::is_directory(st) && !recursive) continue;
    victims.push_back(e.path());
  }
  for (const fs::path& p : victims) {
    std::error_code rec;
    fs::remove_all(p, rec);  // on a link: removes the link itself
  }
}

}  // namespace util
