// Starting a program as a process of its own: an argument vector, never a
// shell line, and the reason in the shell's result codes when it fails.
#pragma once

#include <string>
#include <vector>

namespace ql {

// Result codes, as the callers know them: above 32 is success.
enum ShellResult {
  kShellOutOfResources = 0,
  kShellFileNotFound = 2,
  kShellPathNotFound = 3,      // the working directory does not exist
  kShellAccessDenied = 5,      // the program may not be run
  kShellNotEnoughMemory = 8,
  kShellInvalidFile = 11,      // not a program the system can run
  kShellSharingViolation = 26, // the program file is open for writing
  kShellNoAssociation = 31,    // nothing on the desktop opens this document or address
  kShellOk = 33,
};

// The result code for an errno of a failed execve.
int ShellCodeForErrno(int error);

// Starts `program` (a path; no PATH search) with `args` after it, in
// `directory` (empty: ours), reading /dev/null and in a session of its own,
// so that it neither waits for our terminal nor ends with us. Returns
// kShellOk once the program runs, else why it could not be started; a
// directory that cannot be entered gives kShellPathNotFound.
int LaunchDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& directory);

}  // namespace ql
