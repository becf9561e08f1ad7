// The file information window's facts without a window: what stat/statx
// say about a file (birth time where the file system keeps one, 64-bit
// size, mode bits, a symbolic link and its target), and the texts and
// attribute rules the window shows them with.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/DateFormat.h"

namespace ql {

struct FileDetails {
  std::string path;    // as given
  std::string name;    // without folder
  std::string folder;  // without trailing '/', except the root
  bool isLink = false;
  std::string linkTarget;  // as the link holds it
  bool isDirectory = false;
  std::uint64_t size = 0;  // of the file itself, or of the link's target
  std::uint32_t mode = 0;  // permission bits (07777)
  std::optional<std::int64_t> created, modified, accessed;  // seconds since 1970, UTC
};

// Reads the details (a link's target for everything but isLink and its
// text). False, with errno's text in `error`, when the path names nothing
// that can be read, a dangling link included.
bool ReadFileDetails(const std::string& path, FileDetails& details, std::string* error = nullptr);

// The four size labels: bits, bytes, kb with four decimals, Mb with six;
// thousands grouped with `group`, decimals after `decimal`.
std::array<std::string, 4> SizeTexts(std::uint64_t size, const std::string& group = ",",
                                     const std::string& decimal = ".");

extern const char* const kUnknownDate;   // "(Unknown date)"
extern const char* const kNotAvailable;  // "(not available)": the 8.3 rows

// Local time of `seconds` in `pattern` (our pattern language); kUnknownDate
// when there is no time or it cannot be converted.
std::string FileTimeText(const std::optional<std::int64_t>& seconds, const std::string& pattern,
                         const DateLocale& locale);
// The window's date-time pattern: long date + " - " + long time.
std::string FileInfoTimePattern(const DateLocale& locale);

// "Read only" is a file nobody may write to.
bool ReadOnlyMode(std::uint32_t mode);
// Ticking removes every write bit; unticking gives the owner write back
// (a mode that is writable already stays as it is).
std::uint32_t ModeWithReadOnly(std::uint32_t mode, bool readOnly);
// Hidden is a name starting with a dot.
bool HiddenName(const std::string& name);

// The type row: the type's name, and for a link what it points to.
std::string TypeText(const FileDetails& details, const std::string& typeName);

// chmod (a link's target); "" when done, else the system's error text.
std::string ChangeFileMode(const std::string& path, std::uint32_t mode);

}  // namespace ql
