// Find All and Replace All through the search engine on the editor's Qt
// buffer (offscreen), as bench_find does on the in-memory document:
//   qt_find FILE
// loads FILE into the editor (timed apart as set_ms), counts "Old" (Find
// All, case-sensitive, from the start), replaces every "Old" by "New"
// without prompting and writes the editor's text to FILE.out. Prints one
// line of key=value figures for run.sh.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string>

#include "editor/qt/EditorView.h"
#include "bench/BenchSupport.h"
#include "tools/FindReplace.h"

using namespace bench;

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qt_find FILE\n");
    return 2;
  }
  const std::string path = argv[1];
  std::string text;
  if (!ReadWhole(path, text)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }

  ql::EditorView widget;
  widget.resize(1000, 700);
  widget.show();
  ql::EditorView& buffer = widget;

  auto t = Clock::now();
  buffer.SetText(text);
  const double setMs = MsSince(t);
  std::string().swap(text);

  // The window's busy bracket as far as the widget is concerned: no repaints.
  QuietHost host(buffer, [&widget](bool busy) { widget.setUpdatesEnabled(!busy); });
  const FindReplaceTimes run = RunFindAndReplace(host);

  t = Clock::now();
  const bool written = WriteWhole(path + ".out", buffer.Text());
  const double writeMs = MsSince(t);
  if (!written) {
    std::fprintf(stderr, "cannot write %s.out\n", path.c_str());
    return 1;
  }

  std::printf("set_ms=%.1f replace_ms=%.1f findall_ms=%.1f count=%lld replaced=%lld write_ms=%.1f\n", setMs,
              run.replaceMs, run.findAllMs, run.count, run.replaced, writeMs);
  return 0;
}
