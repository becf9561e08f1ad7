// The main window's rules that need no window: caption, status-bar widths,
// the command line, the instance command message and the save prompt.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ql {

extern const char* const kUntitled;        // "Untitled"
extern const char* const kVersionStatus;   // "Quillora v1.81"

// Whether the document has a file on disk: never for an untitled document,
// even when a file called "Untitled" lies in the working folder.
bool DocumentHasFile(const std::string& docFileName);

// The locale's long time format without its time-zone field ("t" .. "tttt"
// outside quotes), as the time stamp of a ".LOG" file wants it.
std::string WithoutTimeZone(const std::string& timeFormat);

// How much of a file name the rename dialog preselects: the name before its
// extension; a leading dot (".profile") starts no extension.
std::size_t BaseNameLength(const std::string& fileName);

std::string MakeCaption(const std::string& docFileName, bool fullPath, bool modified);
std::string ApplicationTitle(const std::string& caption);
std::array<int, 5> StatusPanelWidths(int windowWidth);

struct CommandLineAction {
  enum Kind { Nothing, FirstRun, Help, OpenFiles };
  Kind kind = Nothing;
  std::string first;               // the document to open here
  std::vector<std::string> others; // each opens in a new instance, passed as it is
};
// Only the first argument is ever looked at as an option.
CommandLineAction ClassifyCommandLine(const std::vector<std::string>& args);

// The file dialogs' filters, "description|pattern|..." pairs, as Qt wants
// them: "description (pattern pattern)", with "*.*" made "*" so that names
// without a dot are listed too.
std::vector<std::string> DialogFilters(const std::string& filter);
extern const char* const kOpenFilter;
extern const char* const kSaveFilter;

extern const char* const kFirstRunCaption;
std::string FirstRunText();
std::string CommandLineHelpText();

// What the instance command message needs from the window.
class InstanceTarget {
 public:
  virtual ~InstanceTarget() = default;
  virtual void SaveSettingsCommand() = 0;   // 1
  virtual void QueueExecFileDef() = 0;      // 2, when the document's file exists
  virtual void QueueSaveFile() = 0;         // 3, when the document is modified
  virtual bool DocumentFileExists() const = 0;
  virtual bool Modified() const = 0;
  virtual std::int64_t TextLength() const = 0;
  virtual std::int64_t LineCount() const = 0;
  virtual std::int64_t WordCount() const = 0;
};
std::int64_t HandleInstanceCommand(int command, InstanceTarget& target);

// The save prompt. ask shows the box (flags 35) and returns 6, 7 or 2;
// save runs Save or Save As and tells whether the document really was saved.
struct SavePrompt {
  std::function<int(const std::string& text, const std::string& caption, unsigned flags)> ask;
  std::function<bool()> save;
};
std::string SaveQuestionText(const std::string& docFileName);
bool AskSaveChanges(const std::string& caption, bool modified, const std::string& docFileName,
                    const SavePrompt& prompt);

}  // namespace ql
