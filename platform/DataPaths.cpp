#include "platform/DataPaths.h"

#include <cstdlib>

namespace ql {

namespace {

std::string Parent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

std::string ProgramDataDir(const std::string& programPath,
                           const std::function<bool(const std::string&)>& exists) {
  const std::string dir = Parent(programPath);
  if (exists(dir + "/quillora.hlp")) return dir;
  const std::string prefix = Parent(dir);
  return (prefix == "/" ? std::string() : prefix) + "/share/quillora";
}

std::string UserDataDir(const std::string& kind) {
  std::string base = Env("XDG_DATA_HOME");
  // Relative values are to be ignored, as the base directory rules say.
  if (base.empty() || base[0] != '/') base = Env("HOME") + "/.local/share";
  return base + "/quillora/" + kind;
}

std::vector<std::string> DataDirs(const std::string& programDataDir, const std::string& kind) {
  return {UserDataDir(kind), programDataDir + "/" + kind};
}

}  // namespace ql
