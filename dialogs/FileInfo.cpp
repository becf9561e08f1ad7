#include "dialogs/FileInfo.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

const char* const kUnknownDate = "(Unknown date)";
const char* const kNotAvailable = "(not available)";

namespace {

using Wide = unsigned __int128;

std::string Digits(Wide n) {
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
    n /= 10;
  } while (n != 0);
  return s;
}

std::string Grouped(Wide n, const std::string& group) {
  const std::string digits = Digits(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += group;
    out += digits[i];
  }
  return out;
}

// size / divisor with `places` decimals, rounded half up.
std::string Fixed(std::uint64_t size, Wide divisor, int places, const std::string& group,
                  const std::string& decimal) {
  Wide scale = 1;
  for (int i = 0; i < places; ++i) scale *= 10;
  const Wide scaled = (Wide(size) * scale * 2 + divisor) / (divisor * 2);
  std::string fraction = Digits(scaled % scale);
  fraction.insert(0, static_cast<std::size_t>(places) - fraction.size(), '0');
  return Grouped(scaled / scale, group) + decimal + fraction;
}

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace

bool ReadFileDetails(const std::string& path, FileDetails& details, std::string* error) {
  struct stat own {};
  if (path.empty() || lstat(path.c_str(), &own) != 0) {
    if (error) *error = ErrorText(path.empty() ? ENOENT : errno);
    return false;
  }
  FileDetails d;
  d.path = path;
  d.isLink = S_ISLNK(own.st_mode);
  if (d.isLink) {
    std::string target(4096, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n >= 0) d.linkTarget = target.substr(0, static_cast<std::size_t>(n));
  }
  // The target's facts, with its birth time where the file system has one.
  struct statx x {};
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &x) == 0) {
    d.isDirectory = S_ISDIR(x.stx_mode);
    d.size = x.stx_size;
    d.mode = x.stx_mode & 07777;
    if (x.stx_mask & STATX_BTIME) d.created = x.stx_btime.tv_sec;
    if (x.stx_mask & STATX_MTIME) d.modified = x.stx_mtime.tv_sec;
    if (x.stx_mask & STATX_ATIME) d.accessed = x.stx_atime.tv_sec;
  } else {
    struct stat st {};
    if (errno != ENOSYS || stat(path.c_str(), &st) != 0) {
      if (error) *error = ErrorText(errno);
      return false;
    }
    d.isDirectory = S_ISDIR(st.st_mode);
    d.size = static_cast<std::uint64_t>(st.st_size);
    d.mode = st.st_mode & 07777;
    d.modified = st.st_mtim.tv_sec;
    d.accessed = st.st_atim.tv_sec;
  }
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  d.name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  d.folder = slash == std::string::npos ? "" : slash == 0 ? "/" : trimmed.substr(0, slash);
  details = std::move(d);
  return true;
}

std::array<std::string, 4> SizeTexts(std::uint64_t size, const std::string& group,
                                     const std::string& decimal) {
  return {Grouped(Wide(size) * 8, group) + " bits", Grouped(size, group) + " bytes",
          Fixed(size, 1024, 4, group, decimal) + " kb",
          Fixed(size, Wide(1024) * 1024, 6, group, decimal) + " Mb"};
}

std::string FileTimeText(const std::optional<std::int64_t>& seconds, const std::string& pattern,
                         const DateLocale& locale) {
  if (!seconds) return kUnknownDate;
  const std::time_t t = static_cast<std::time_t>(*seconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return kUnknownDate;
  DateTimeParts p;
  p.year = tm.tm_year + 1900;
  p.month = tm.tm_mon + 1;
  p.day = tm.tm_mday;
  p.hour = tm.tm_hour;
  p.minute = tm.tm_min;
  p.second = tm.tm_sec;
  p.dayOfWeek = tm.tm_wday;
  // Years the date formats cannot write are no dates to show.
  if (p.year < 1 || p.year > 9999) return kUnknownDate;
  return FormatDateTime(pattern, p, locale);
}

std::string FileInfoTimePattern(const DateLocale& locale) {
  return locale.longDateFormat + " - " + locale.longTimeFormat;
}

bool ReadOnlyMode(std::uint32_t mode) { return (mode & 0222) == 0; }

std::uint32_t ModeWithReadOnly(std::uint32_t mode, bool readOnly) {
  if (readOnly) return mode & ~std::uint32_t(0222);
  return ReadOnlyMode(mode) ? mode | 0200 : mode;
}

bool HiddenName(const std::string& name) { return !name.empty() && name[0] == '.'; }

std::string TypeText(const FileDetails& details, const std::string& typeName) {
  if (!details.isLink) return typeName;
  return "Symbolic link to \"" + details.linkTarget + "\" (" + typeName + ")";
}

std::string ChangeFileMode(const std::string& path, std::uint32_t mode) {
  if (chmod(path.c_str(), static_cast<mode_t>(mode & 07777)) != 0) return ErrorText(errno);
  return "";
}

}  // namespace ql
