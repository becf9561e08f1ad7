// What the text functions and the coloring need from the window besides a
// text tool's buffer, bracket and boxes: the status bar, the progress
// window, the completion sound and the colors of ranges.
#pragma once

#include <cstdint>
#include <string>

#include "functions/Progress.h"
#include "tools/TextToolHost.h"

namespace ql {

class TextFunctionHost : public TextToolHost {
 public:
  virtual void ShowStatus(const std::string& text) = 0;
  // The progress window; Progress is the procedure the transforms call.
  virtual void ShowProgress(const std::string& caption) = 0;
  virtual void CloseProgress() = 0;
  virtual TProgressProc Progress() = 0;
  virtual void CompletionSound() = 0;
  // Display colors of ranges (0x00BBGGRR); they never reach the file.
  virtual void SetRangeColor(Offset pos, Offset length, std::uint32_t color) = 0;
  // Several changes of the text as one undo step.
  virtual void BeginEditBlock() = 0;
  virtual void EndEditBlock() = 0;
};

// Shows the progress window for a scope; it closes on every way out.
class ProgressScope {
 public:
  ProgressScope(TextFunctionHost& host, const std::string& caption) : host_(host) {
    host_.ShowProgress(caption);
  }
  ~ProgressScope() { host_.CloseProgress(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  TextFunctionHost& host_;
};

}  // namespace ql
