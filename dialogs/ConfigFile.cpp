#include "dialogs/ConfigFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + " " + Quoted(path) + ": " + std::strerror(err);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool MakeFolders(const std::string& dir) {
  if (dir.empty()) return false;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const std::string parent = FolderOf(dir);
  if (parent != dir && !MakeFolders(parent)) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

FileOutcome ReadConfigFile(const std::string& path, std::string& text, bool* exists) {
  text.clear();
  if (exists) *exists = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return {true, ""};
    return {false, SystemError("Could not read", path, errno)};
  }
  if (exists) *exists = true;
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      return {false, SystemError("Could not read", path, err)};
    }
    if (n == 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return {true, ""};
}

FileOutcome WriteConfigFile(const std::string& path, const std::string& bytes, unsigned newMode) {
  struct stat st {};
  mode_t mode = static_cast<mode_t>(newMode);
  if (::lstat(path.c_str(), &st) == 0) {
    // Replacing a link would cut it off from the file the user keeps elsewhere.
    if (S_ISLNK(st.st_mode))
      return {false, Quoted(path) + " is a symbolic link; it was left unchanged. "
                     "Make the change in the file it points to, or replace the link with a file."};
    if (!S_ISREG(st.st_mode)) return {false, Quoted(path) + " is not a regular file; it was left unchanged."};
    // A rename would slip past the read-only mark, so honour it ourselves.
    if (!(st.st_mode & S_IWUSR) || ::access(path.c_str(), W_OK) != 0)
      return {false, Quoted(path) + " is read-only; it was left unchanged."};
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return {false, SystemError("Could not examine", path, errno)};
  }
  const std::string dir = FolderOf(path);
  if (!MakeFolders(dir)) return {false, SystemError("Could not create the folder", dir, errno)};

  std::string temp = dir + "/." + path.substr(dir.size() + (dir == "/" ? 0 : 1)) + ".quillora-XXXXXX";
  const int fd = ::mkstemp(&temp[0]);
  if (fd < 0) return {false, SystemError("Could not write in the folder", dir, errno)};
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  int err = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return {false, SystemError("Could not write", path, err)};
  }
  // The rename itself is durable once the folder is synced.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return {true, ""};
}

FileOutcome RemoveConfigFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {true, ""};
  return {false, SystemError("Could not remove", path, errno)};
}

}  // namespace ql
