// Shared by the tests of document files and safe saves: files in a private
// temporary directory, child processes (optionally as uid/gid 65534 when the
// tests run as root, since write permission means nothing to root) and
// programs run from an argument vector.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/SafeSave.h"

namespace qltest {

struct RunResult {
  int status = -1;  // exit status; -1 when the program could not run
  std::string out;  // what it wrote to its standard output
};

// Runs a program from PATH with an argument vector (no shell), optionally
// as uid/gid 65534 when we are root.
inline RunResult RunProgram(const std::vector<std::string>& argv, bool unprivileged = false) {
  RunResult r;
  int fds[2];
  if (pipe(fds) != 0) return r;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], 1);
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(fds[1]);
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) r.out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) && WEXITSTATUS(status) != 127 ? WEXITSTATUS(status) : -1;
  return r;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline std::string ReadFile(const std::string& path) {
  std::string out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    std::fclose(f);
  }
  return out;
}

inline std::set<std::string> List(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

inline struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

// Runs body in a child process (limited to 10 s, so a blocking call fails
// the test instead of hanging it), optionally as uid 65534 when we are root;
// returns what the body returned, or "<child failed>".
inline std::string InChild(const std::function<std::string()>& body, bool unprivileged,
                    const std::function<void()>& setup = nullptr) {
  int fds[2];
  if (pipe(fds) != 0) return "<pipe failed>";
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alarm(10);
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    if (setup) setup();
    const std::string out = body();
    if (write(fds[1], out.data(), out.size()) != static_cast<ssize_t>(out.size())) _exit(98);
    _exit(0);
  }
  close(fds[1]);
  std::string out;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "<child failed>";
}

inline std::string SaveText(const std::string& path, const std::string& bytes) {
  const ql::SaveResult r = ql::SaveFileSafely(path, bytes);
  return r.ok ? "ok" : r.error;
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/ql_docfile_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
    chmod(dir_.c_str(), 0755);  // the unprivileged child must reach its files
  }
  void TearDown() override {
    EXPECT_EQ(RunProgram({"chmod", "-R", "u+rwx", dir_}).status, 0);
    EXPECT_EQ(RunProgram({"rm", "-rf", dir_}).status, 0);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // A folder the unprivileged child owns.
  std::string OwnedDir(const std::string& name) {
    const std::string d = Path(name);
    EXPECT_EQ(mkdir(d.c_str(), 0755), 0);
    if (geteuid() == 0) {
      EXPECT_EQ(chown(d.c_str(), 65534, 65534), 0);
    }
    return d;
  }
  void GiveAway(const std::string& path) {
    if (geteuid() == 0) {
      EXPECT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
  }

  std::string dir_;
};

}  // namespace qltest
