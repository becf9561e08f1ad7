// Loads a file through the editor's Qt buffer (offscreen) and times what a
// keystroke costs on a big document: the caret status at the end of the
// text and line-to-offset of the last line; plus the whole set-text.
// Prints one line of key=value figures for run.sh.
#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/EditorStatus.h"
#include "editor/qt/EditorView.h"

namespace {

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: qt_editor FILE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();

  ql::EditorView widget;
  widget.resize(1000, 700);
  widget.show();
  ql::EditorView& buffer = widget;

  const double t0 = NowMs();
  buffer.SetText(text);
  const double setMs = NowMs() - t0;

  // Caret at the very end, then the status the window shows on each move.
  buffer.SetSelection(buffer.TextLength(), 0);
  constexpr int kRounds = 200;
  std::size_t sink = 0;
  double t1 = NowMs();
  for (int i = 0; i < kRounds; ++i) {
    buffer.SetSelection(buffer.TextLength() - (i % 2), 0);
    const auto panels = ql::CaretPanels(buffer);
    sink += panels[0].size() + ql::SelectionStatus(buffer).size();
  }
  const double caretMs = (NowMs() - t1) / kRounds;

  const ql::Offset last = buffer.LineCount() - 1;
  t1 = NowMs();
  for (int i = 0; i < kRounds; ++i) sink += static_cast<std::size_t>(buffer.LineToOffset(last - (i % 2)));
  const double lineMs = (NowMs() - t1) / kRounds;

  std::printf("set_ms=%.1f caret_ms=%.4f line_ms=%.4f lines=%lld length=%lld sink=%zu\n", setMs,
              caretMs, lineMs, static_cast<long long>(buffer.LineCount()),
              static_cast<long long>(buffer.TextLength()), sink);
  return 0;
}
