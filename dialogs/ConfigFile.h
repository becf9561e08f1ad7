// Small per-user configuration files we share with other programs
// (mimeapps.list, our desktop entry, our MIME definition): read whole,
// replaced atomically, never through a symbolic link and never when the
// file is marked read-only. Every failure comes back as a sentence.
#pragma once

#include <string>

namespace ql {

struct FileOutcome {
  bool ok = false;
  std::string error;  // why not, for the user
};

// Reads the whole file. A missing file is ok with empty text and
// `exists` false; anything else that stops the read is an error.
FileOutcome ReadConfigFile(const std::string& path, std::string& text, bool* exists = nullptr);

// Writes `bytes` to a new file beside `path` and renames it over the old
// one, keeping the old file's mode (new files get `newMode`). Missing
// folders are made (0700). Refuses a symbolic link, a file whose owner may
// not write it, and a file we may not write.
FileOutcome WriteConfigFile(const std::string& path, const std::string& bytes,
                            unsigned newMode = 0644);

// Removes a file we made. A missing file is fine.
FileOutcome RemoveConfigFile(const std::string& path);

// Makes every missing folder of `dir` (0700, like the XDG folders).
bool MakeFolders(const std::string& dir);

}  // namespace ql
