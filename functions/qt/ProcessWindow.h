// The small progress window that long text functions show while they run
// on the window thread. There is at most one at a time.
#pragma once

#include <QString>
#include <cstdint>

namespace ql {

// Gauge colors (stored color values); the main window sets them from its
// options whenever they apply.
void SetProcessColors(std::uint32_t back, std::uint32_t bar);

// Opens the window with `caption` and paints it at once.
void ShowProcess(const QString& caption);
// Moves the gauge when the percentage differs; nothing when no window is open.
void UpdateProcess(int percent);
// Closes the open window, if any.
void CloseProcess();

// For tests: whether a window is open, and its gauge value (-1 when none).
bool ProcessShown();
int ProcessValue();
QString ProcessCaption();

// Closes the window on every way out of a scope.
class ProcessScope {
 public:
  explicit ProcessScope(const QString& caption) { ShowProcess(caption); }
  ~ProcessScope() { CloseProcess(); }
  ProcessScope(const ProcessScope&) = delete;
  ProcessScope& operator=(const ProcessScope&) = delete;
};

}  // namespace ql
