// The run dialog's rules without a window: the parameters split into an
// argument vector, the placeholders filled in, the run history and the
// texts of every result. Text here is the file system's bytes (UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ql {

// What the run dialog needs from the main window.
class RunHost {
 public:
  virtual ~RunHost() = default;
  virtual std::string DocFileName() const = 0;  // "Untitled" for a document never saved
  virtual std::vector<std::string>& RunList() = 0;
  // Lets the user save the never-saved document; true once it has a file.
  virtual bool SaveDocumentFirst() = 0;
};

constexpr char kRunSeparator = 29;  // ends each field of a history entry
constexpr std::size_t kRunHistoryMax = 12;
extern const char* const kRunDefaultParams;  // "%F%" in double quotes
extern const char* const kRunDefaultFolder;  // "%D%"

// The parameters as arguments, by QProcess::splitCommand's rules: blanks
// (Unicode white space) separate, double quotes group, three double quotes
// in a row stand for one, an empty pair gives nothing. Nothing else is
// special: '$', ';', '\'', '\\' and the rest stay as typed.
std::vector<std::string> SplitArguments(const std::string& text);

// The folder of the document's file with its trailing '/'; "" for Untitled.
std::string DocumentFolder(const std::string& docFileName);

// %F% (the document's file), %D% (its folder) and %% ('%'), letters in any
// case, replaced in one scan from the left: what is put in is never read
// again, so "%%F%" gives "%F%" and a file named "a%D%b" stays so.
std::string ExpandPlaceholders(const std::string& text, const std::string& docFileName);
// Whether that scan would meet a %F%.
bool UsesFileName(const std::string& text);

// The three boxes as typed.
struct RunFields {
  std::string file, params, folder;
};

// "file<29>params<29>folder<29>"
std::string RunEntry(const RunFields& fields);
// The fields an entry has, up to three; an entry without any separator is
// a file name alone.
std::vector<std::string> RunEntryFields(const std::string& entry);
// Removes the entries equal to this one (letter case counts: so do paths),
// puts it on top and keeps at most kRunHistoryMax. CR LF becomes CR.
void AddRunHistory(std::vector<std::string>& list, const std::string& entry);
// The drop-down list: the file of every entry, in history order, so that
// item i always belongs to entry i.
std::vector<std::string> RunComboItems(const std::vector<std::string>& list);

// What is started: the file as typed, the arguments and the folder filled in.
struct RunCommand {
  std::string file;
  std::vector<std::string> args;
  std::string folder;
};
RunCommand PlanRun(const RunFields& typed, const std::string& docFileName);
// Whether that run would name the document's file: the parameters are
// looked at argument by argument, as PlanRun fills them in.
bool RunUsesFileName(const RunFields& typed);
bool BlankText(const std::string& text);

// Message boxes of a run (caption, text, flags).
struct RunMessage {
  std::string caption, text;
  unsigned flags = 16;
};
extern const char* const kRunErrorCaption;  // "An Error Occured!"
// The box for a launch result; an empty text for success.
RunMessage RunResultMessage(int result, const RunCommand& command);
RunMessage EmptyNameMessage();
RunMessage ParamsRefusedMessage(const std::string& file);
RunMessage SaveFirstMessage();  // Yes/No
RunMessage ClearListMessage();  // Yes/No

}  // namespace ql
