#include "platform/Launch.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ql {

namespace {

// What the started child reports through the pipe when it fails.
enum Stage : int { kEnterDirectory = 1, kExec = 2, kFork = 3 };

void Report(int fd, int stage, int error) {
  const int message[2] = {stage, error};
  // Nothing to do if the write fails: the parent then sees success.
  [[maybe_unused]] const ssize_t n = write(fd, message, sizeof message);
}

}  // namespace

int ShellCodeForErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return kShellFileNotFound;
    case ENOEXEC:
    case ELIBBAD:
    case EINVAL:
      return kShellInvalidFile;
    case ENOMEM:
    case E2BIG:
      return kShellNotEnoughMemory;
    case ETXTBSY:
      return kShellSharingViolation;
    case EAGAIN:
    case EMFILE:
    case ENFILE:
      return kShellOutOfResources;
    default:  // EACCES, EPERM, EISDIR and whatever else refuses to run it
      return kShellAccessDenied;
  }
}

int LaunchDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& directory) {
  if (program.empty()) return kShellFileNotFound;
  // Everything the child needs exists before the fork: after it, only
  // calls that are safe in a copy of a threaded process.
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const char* dir = directory.empty() ? nullptr : directory.c_str();
  sigset_t none;
  sigemptyset(&none);
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return ShellCodeForErrno(errno);
  const pid_t child = fork();
  if (child < 0) {
    const int error = errno;
    close(fds[0]);
    close(fds[1]);
    return ShellCodeForErrno(error);
  }
  if (child == 0) {
    // The middle process: a session of its own, then gone, so the program
    // is nobody's child here and leaves no zombie.
    close(fds[0]);
    setsid();
    const pid_t grandchild = fork();
    if (grandchild < 0) Report(fds[1], kFork, errno);
    if (grandchild != 0) _exit(0);
    // An ignored SIGPIPE would be inherited through exec.
    sigaction(SIGPIPE, &byDefault, nullptr);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (dir && chdir(dir) != 0) {
      Report(fds[1], kEnterDirectory, errno);
      _exit(127);
    }
    const int null = open("/dev/null", O_RDONLY);
    if (null > 0) {
      dup2(null, 0);
      close(null);
    }
    execve(argv[0], argv.data(), environ);
    Report(fds[1], kExec, errno);
    _exit(127);
  }
  close(fds[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without a word when execve succeeded (close-on-exec).
  int message[2] = {0, 0};
  std::size_t got = 0;
  while (got < sizeof message) {
    const ssize_t n = read(fds[0], reinterpret_cast<char*>(message) + got, sizeof message - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fds[0]);
  if (got < sizeof message) return kShellOk;
  if (message[0] == kEnterDirectory)
    return message[1] == ENOENT || message[1] == ENOTDIR ? kShellPathNotFound
                                                           : ShellCodeForErrno(message[1]);
  return ShellCodeForErrno(message[1]);
}

}  // namespace ql
