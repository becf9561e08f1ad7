// The recent-files list: most recent first, a fixed number of slots, empty
// strings are free slots. Paths are compared exactly (a.txt and A.TXT are
// two files here).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ql {

void AddToRecent(std::vector<std::string>& list, const std::string& docFileName, int recentMax);
// Removes entries whose file is gone; free slots go to the end, the count stays.
void RemoveObsolete(std::vector<std::string>& list,
                    const std::function<bool(const std::string&)>& isExistingFile);
void ClearRecent(std::vector<std::string>& list);

// One file item of a recent menu.
struct RecentItem {
  int tag = 0;            // index in the list
  std::string caption;    // "&" + hex number + two blanks + path with "&" doubled
  std::string hint;       // "File: ..." or "File not found: ..."
  bool enabled = true;    // false for a missing file
  std::string path;
};
// fileSize gives the size of an existing regular file, nothing otherwise.
// An empty result means the menu shows the disabled "No files" item.
std::vector<RecentItem> BuildRecentItems(
    const std::vector<std::string>& list, int recentMax, const std::string& docFileName,
    const std::function<std::optional<std::int64_t>(const std::string&)>& fileSize);

// Bytes as kilobytes with the pattern ",0.0000": 1536 -> "1.5000", 1234567890 -> "1,205,632.7051".
std::string FormatKb(std::int64_t bytes);

}  // namespace ql
