// Starting programs and opening documents or web addresses the way the
// desktop does. Arguments travel as a vector, never through a shell.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Launch.h"

namespace ql {

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

// What a name given to ShellExec stands for, found the same way.
struct ShellTarget {
  enum Kind { Missing, Program, Document, Address };
  Kind kind = Missing;
  std::string path;  // Program, Document: the absolute path; Address: the address
  int result = kShellFileNotFound;  // Missing: kShellFileNotFound or kShellPathNotFound
};
ShellTarget ResolveShellTarget(const std::string& fileName, const std::string& directory);

// Opens a Document with the desktop's opener for its type, or an Address.
// `done` hears the result exactly once: kShellOk when the opener succeeded,
// else kShellFileNotFound or kShellNoAssociation, possibly later (once the
// opener has ended), possibly before this returns.
void OpenTarget(const ShellTarget& target, std::function<void(int result)> done);

// The running program's own file.
std::string ProgramPath();

}  // namespace ql
