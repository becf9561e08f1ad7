// The text of a mimeapps.list, edited line by line: one entry is found,
// replaced, added or removed and every other line (comments, blank lines,
// other sections and entries, their order, CR LF or LF) stays as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ql {

extern const char* const kDefaultApps;  // "Default Applications"
extern const char* const kAddedApps;    // "Added Associations"
extern const char* const kRemovedApps;  // "Removed Associations"

// The value of `mime` in the first `[section]` that has it (spaces around
// '=' ignored), or nothing.
std::optional<std::string> FindMimeEntry(const std::string& text, const std::string& section,
                                         const std::string& mime);
// Replaces that line, or adds one at the end of the section's entries, or
// adds the section at the end of the text.
std::string SetMimeEntry(const std::string& text, const std::string& section, const std::string& mime,
                         const std::string& value);
// Removes that line; the text is unchanged when there is none.
std::string RemoveMimeEntry(const std::string& text, const std::string& section, const std::string& mime);

// "a.desktop;b.desktop;" <-> {"a.desktop", "b.desktop"}.
std::vector<std::string> SplitDesktopIds(const std::string& value);
std::string JoinDesktopIds(const std::vector<std::string>& ids);

}  // namespace ql
