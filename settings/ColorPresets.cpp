#include "settings/ColorPresets.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

const char* const kPresetsFullText =
    "There are already 255 color presets, as many as the preset file can hold. Delete one before "
    "saving another.";

namespace {

constexpr char kMagic[] = "QCP";
constexpr std::size_t kMaxFileBytes = kPresetHeader + kPresetRecord * kMaxPresets;

void PutColor(std::string& out, PresetColor c) {
  out += static_cast<char>(c & 0xFF);
  out += static_cast<char>((c >> 8) & 0xFF);
  out += static_cast<char>((c >> 16) & 0xFF);
}

void PutText(std::string& out, const std::string& text, std::size_t width) {
  const std::string cut = text.substr(0, width);
  out += cut;
  out.append(width - cut.size(), '\0');
}

PresetColor GetColor(const unsigned char* p) {
  return static_cast<PresetColor>(p[0]) | static_cast<PresetColor>(p[1]) << 8 |
         static_cast<PresetColor>(p[2]) << 16;
}

// The field up to its first zero byte, without trailing blanks and control characters.
std::string GetText(const unsigned char* p, std::size_t width) {
  std::size_t n = 0;
  while (n < width && p[n] != 0) ++n;
  while (n > 0 && p[n - 1] <= 32) --n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string DataHome() {
  const char* home = std::getenv("HOME");
  return EnvOr("XDG_DATA_HOME", std::string(home ? home : "") + "/.local/share");
}

std::string PresetsIn(const std::string& dataDir) { return dataDir + "/quillora/Presets/Color.qcp"; }

bool MakeDirs(const std::string& dir) {
  for (std::size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    const std::string part = dir.substr(0, i);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string SerializePresets(const std::vector<TColorPreset>& presets) {
  if (presets.size() > kMaxPresets) return {};
  std::string out(kMagic, 3);
  out += '\0';
  out += '\x01';
  out += static_cast<char>(presets.size());
  for (const TColorPreset& p : presets) {
    PutText(out, p.Name, 16);
    PutText(out, p.FontName, 32);
    const auto size = static_cast<std::uint16_t>(p.FontSize);
    out += static_cast<char>(size & 0xFF);
    out += static_cast<char>(size >> 8);
    PutColor(out, p.BackColor);
    PutColor(out, p.TextColor);
    PutColor(out, p.BoxBackColor);
    PutColor(out, p.BoxTextColor);
  }
  return out;
}

PresetFile ParsePresets(const std::string& bytes) {
  PresetFile file;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < kPresetHeader || std::memcmp(b, kMagic, 3) != 0 || b[3] != 0 || b[4] != 1) {
    file.status = PresetFile::Foreign;
    return file;
  }
  const std::size_t count = b[5];
  if (bytes.size() < kPresetHeader + kPresetRecord * count) {
    file.status = PresetFile::Truncated;
    return file;
  }
  file.status = PresetFile::Ok;
  file.presets.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* r = b + kPresetHeader + kPresetRecord * i;
    TColorPreset p;
    p.Name = GetText(r, 16);
    p.FontName = GetText(r + 16, 32);
    p.FontSize = r[48] | r[49] << 8;
    p.BackColor = GetColor(r + 50);
    p.TextColor = GetColor(r + 53);
    p.BoxBackColor = GetColor(r + 56);
    p.BoxTextColor = GetColor(r + 59);
    file.presets.push_back(std::move(p));
  }
  return file;
}

std::string UserPresetsFile() { return PresetsIn(DataHome()); }

std::vector<std::string> PresetsFileCandidates() {
  std::vector<std::string> out{UserPresetsFile()};
  const std::string dirs = EnvOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    // Only absolute folders count; a relative one would depend on where we were started.
    if (end > start && dirs[start] == '/') out.push_back(PresetsIn(dirs.substr(start, end - start)));
    start = end + 1;
  }
  return out;
}

PresetFile LoadColorPresets(const std::vector<std::string>& candidates, std::string* path) {
  if (path) path->clear();
  for (const std::string& candidate : candidates) {
    struct stat st;
    if (::stat(candidate.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (path) *path = candidate;
    std::FILE* f = std::fopen(candidate.c_str(), "rb");
    PresetFile file;
    if (!f) {
      file.status = PresetFile::Unreadable;
      return file;
    }
    // No preset file is longer than 255 records: read no more than that.
    std::string bytes(kMaxFileBytes, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), f));
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
      file.status = PresetFile::Unreadable;
      return file;
    }
    return ParsePresets(bytes);
  }
  return PresetFile{};
}

bool SaveColorPresets(const std::string& path, const std::vector<TColorPreset>& presets,
                      std::string& error) {
  if (presets.size() > kMaxPresets) {
    error = "too many presets";
    return false;
  }
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  if (slash != std::string::npos && slash > 0 && !MakeDirs(dir)) {
    error = std::strerror(errno);
    return false;
  }
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(&temp[0]);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, SerializePresets(presets)) && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    error = std::strerror(saved);
    return false;
  }
  // The rename itself lasts once the folder is on disk.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

std::vector<std::string> PresetListLines(const std::vector<TColorPreset>& presets) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < presets.size(); ++i) {
    std::string index = std::to_string(i);
    if (index.size() < 2) index.insert(0, 1, '0');
    lines.push_back(index + ":  " + presets[i].Name);
  }
  if (lines.empty()) lines.push_back("(No user presets)");
  return lines;
}

AddPresetResult AddPreset(std::vector<TColorPreset>& presets, TColorPreset preset,
                          const std::function<PresetColor(std::uint32_t)>& resolve) {
  if (preset.Name.empty() || preset.Name.size() > kPresetNameMax) return AddPresetResult::BadName;
  if (presets.size() >= kMaxPresets) return AddPresetResult::Full;
  // Three bytes cannot name a system color: store what it looks like now.
  for (PresetColor* c : {&preset.BackColor, &preset.TextColor, &preset.BoxBackColor, &preset.BoxTextColor})
    *c = (*c & 0x80000000u ? resolve(*c) : *c) & 0xFFFFFFu;
  presets.push_back(std::move(preset));
  return AddPresetResult::Added;
}

int PresetFontSize(const TColorPreset& preset) {
  return preset.FontSize >= 1 && preset.FontSize <= 500 ? preset.FontSize : 10;
}

std::string PresetLoadMessage(const PresetFile& file, const std::string& path) {
  switch (file.status) {
    case PresetFile::Truncated:
      return "The color preset file\n\"" + path +
             "\"\nis damaged: it is shorter than the number of presets it names. No presets were "
             "read from it.";
    case PresetFile::Unreadable:
      return "The color preset file\n\"" + path + "\"\ncould not be read.";
    default:
      return {};
  }
}

std::string PresetSaveFailedText(const std::string& path, const std::string& error) {
  return "The color presets could not be saved to\n\"" + path + "\"\n(" + error +
         ").\n\nThey are kept until Quillora is closed.";
}

}  // namespace ql
