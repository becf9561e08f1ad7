// What the whole-text jobs (sorting, the hexadecimal dump) need from the
// window beyond the text tools' host: the document's file and modified
// state, the status bar, the progress window and the completion sound.
#pragma once

#include <string>

#include "functions/Progress.h"
#include "tools/TextToolHost.h"

namespace ql {

class TextJobHost : public TextToolHost {
 public:
  virtual bool Modified() const = 0;
  // The document's full path, or "Untitled"; HasFile is false for "Untitled".
  virtual std::string DocFileName() const = 0;
  virtual bool HasFile() const = 0;
  virtual void ShowStatus(const std::string& text) = 0;  // panel 0
  // The progress window; Progress is the procedure to hand to the job.
  virtual void BeginProgress(const std::string& caption) = 0;
  virtual TProgressProc Progress() = 0;
  virtual void EndProgress() = 0;
  virtual void Completed() = 0;  // the completion sound
};

// Keeps the progress window open for a scope; it closes on every way out.
class JobProgress {
 public:
  JobProgress(TextJobHost& host, const std::string& caption) : host_(host) {
    host_.BeginProgress(caption);
  }
  ~JobProgress() { host_.EndProgress(); }
  JobProgress(const JobProgress&) = delete;
  JobProgress& operator=(const JobProgress&) = delete;

 private:
  TextJobHost& host_;
};

// The whole text replaced by `text` as one undoable step, the caret at the
// start. Returns false (and changes nothing) when the text is the same.
bool ReplaceWholeText(TextToolHost& host, const std::string& before, const std::string& text);

}  // namespace ql
