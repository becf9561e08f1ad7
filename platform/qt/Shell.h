// Starting programs and opening documents or web addresses the way the
// desktop does. Arguments travel as a vector, never through a shell.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ql {

// Result codes, as the callers know them: above 32 is success.
enum ShellResult {
  kShellFileNotFound = 2,
  kShellPathNotFound = 3,   // the working directory does not exist
  kShellAccessDenied = 5,   // a program that could not be started
  kShellNoAssociation = 31, // nothing on the desktop opens this document or address
  kShellOk = 33,
};

// fileName names a program (a path or a name found on PATH), which is
// started detached with params in directory (empty: ours); or an existing
// document or folder, or an address with a scheme ("https:", "mailto:",
// "file:" ...), which the desktop opens (params do not apply there).
// Relative names are looked for in directory first, then in ours.
int ShellExec(const std::string& fileName, const std::vector<std::string>& params,
              const std::string& directory);

// Hands an existing document to the desktop's opener for its type (the
// default application), never running it as a program whatever its mode
// bits. Returns kShellOk once handed over, else kShellFileNotFound or
// kShellNoAssociation; a failure the opener reports afterwards (no
// application for the type, the file gone) comes through `later`.
int OpenDocument(const std::string& path, std::function<void(int result)> later);

// The running program's own file.
std::string ProgramPath();

}  // namespace ql
