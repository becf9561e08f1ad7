// Path text on POSIX: '/' is the only separator, a colon is an ordinary
// file-name character.
#include "common/FuncLib.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ql {

std::string ExtractFileName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileDir(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return "/";  // the root keeps its slash: the folder of /x is /
  return path.substr(0, slash);
}

std::string FileNameNoExt(const std::string& path) {
  std::string name = ExtractFileName(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return name;
  const std::string ext = name.substr(dot);
  // The extension is cut where it first occurs, as the callers expect.
  name.erase(name.find(ext), ext.size());
  return name;
}

std::string SetTrailingBackslash(const std::string& path, bool include) {
  if (path.empty() || path == "/") return path;
  const bool hasSlash = path.back() == '/';
  if (include) return hasSlash ? path : path + '/';
  return hasSlash ? path.substr(0, path.size() - 1) : path;
}

namespace {

bool SameEntry(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// Absolute form of a path with "//", "." and ".." folded away lexically.
std::string LexicalAbsolute(const std::string& path) {
  std::string full = path;
  if (full.empty() || full[0] != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return std::string();
    full = std::string(cwd) + '/' + full;
  }
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= full.size()) {
    std::size_t slash = full.find('/', i);
    if (slash == std::string::npos) slash = full.size();
    const std::string part = full.substr(i, slash - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = slash + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += '/' + part;
  return out.empty() ? "/" : out;
}

}  // namespace

std::string LongFileName(const std::string& path) {
  if (!IsExistingFile(path) && !IsExistingDir(path)) return std::string();
  // The lexical form keeps the names the user sees (links unresolved); when
  // a ".." through a link makes it name another entry, the resolved path is
  // the honest answer, and failing that the path as given.
  const std::string lexical = LexicalAbsolute(path);
  if (!lexical.empty() && SameEntry(lexical, path)) return lexical;
  std::string result = path;
  if (char* real = realpath(path.c_str(), nullptr)) {
    if (SameEntry(real, path)) result = real;
    std::free(real);
  }
  return result;
}

}  // namespace ql
