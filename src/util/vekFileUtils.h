// File helpers of the signing launcher: the version of a Windows program file, and emptying a
// folder by a mask.
#pragma once

#include <string>
#include <string_view>

namespace util {

class TFileUtils {
 public:
  TFileUtils() = delete;

  // The file version of path's version resource, one component per character of parts ('1' major,
  // '2' minor, '3' release, '4' build; other characters are skipped), joined by "." and each
  // written with numberFormat (see formatInteger). A file without a version resource, or not a
  // Windows program file, gives zeros: "0.0.0.0" with the defaults.
  static std::string getFileVersion(const std::string& path, const std::string& parts = "1234",
                                    const std::string& numberFormat = "%.d");

  // Deletes the entries of folder whose names match mask ("*" and "?" wildcards, letter case
  // ignored; "*.*" matches every entry, also one without a dot). With recursive false only files
  // (and links) are deleted, with recursive true matching sub-folders too, with their contents.
  // Links are removed themselves, never followed. Nothing asks for confirmation and failures are
  // not reported; silent (no progress window) has no effect here.
  static void deleteFiles(const std::string& folder, const std::string& mask, bool recursive,
                          bool silent);

  // True when name matches a mask as deleteFiles matches it.
  static bool matchesMask(std::string_view name, std::string_view mask);
};

}  // namespace util
