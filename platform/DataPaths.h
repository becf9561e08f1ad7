// Where the program's own read-only data lies, and where a user's own data
// of the same kind goes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ql {

// The folder of the program's data: beside the program when it runs from
// its build folder (the help file is there), else <prefix>/share/quillora
// for a program installed as <prefix>/bin/quillora. `exists` tells whether
// a file exists (tests give their own).
std::string ProgramDataDir(const std::string& programPath,
                           const std::function<bool(const std::string&)>& exists);

// $XDG_DATA_HOME/quillora/<kind> (~/.local/share when unset or not absolute).
std::string UserDataDir(const std::string& kind);

// Folders to read data of a kind from, the user's first.
std::vector<std::string> DataDirs(const std::string& programDataDir, const std::string& kind);

}  // namespace ql
