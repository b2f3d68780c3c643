// The user's own folders for what the program keeps outside the files it is given: the cache
// (safe copies of files rewritten in place) and the data folder (recovery journals), each with a
// "proposta" folder of ours, created private to the user when missing.
#pragma once

#include <string>

namespace platform {

// The user's home folder: $HOME when it is absolute, otherwise the account's; empty when none.
std::string homeFolder();
// $XDG_CACHE_HOME/proposta, or ~/.cache/proposta; empty when there is no home folder.
std::string userCacheFolder();
// $XDG_DATA_HOME/proposta, or ~/.local/share/proposta; empty when there is no home folder.
std::string userDataFolder();
// $XDG_CONFIG_HOME/proposta, or ~/.config/proposta (settings); empty when there is no home folder.
std::string userConfigFolder();
// Creates the folder and the missing folders above it (private to the user); 0 or the errno.
int makeFolders(const std::string& folder);

}  // namespace platform
