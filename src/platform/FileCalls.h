// Small pieces of file handling that several writers share: a path's folder, syncing a folder's
// entries, and writing every byte of a buffer.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The folder part of a path ("." for a bare name, "/" for a name in the root).
std::string folderOf(const std::string& path);
// Syncs a folder's entries, so a name given or taken survives a power cut; 0 or the errno (a file
// system that cannot sync folders counts as 0).
int syncFolder(const std::string& folder);
// Writes every byte to fd, retrying interrupted and partial writes; 0 or the errno (EIO when the
// file takes nothing).
int writeAll(int fd, std::string_view bytes);

}  // namespace platform
