// The page analyzer's window on a big page (offscreen): analysis plus the
// rows put into both lists, then selecting the last link.
//   qt_html analyze PAGE.htm
// Prints links=N dialog_ms=... select_ms=...
#include <QApplication>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>

#include "bench/BenchSupport.h"
#include "dialogs/qt/AnalyzeDialog.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 3 || std::string(argv[1]) != "analyze") {
    std::fprintf(stderr, "usage: qt_html analyze PAGE.htm\n");
    return 2;
  }
  ql::AnalyzeInput input;
  input.docFileName = argv[2];
  if (!bench::ReadWhole(argv[2], input.text)) return 1;
  std::int64_t selected = -1;
  input.select = [&](std::int64_t start, std::int64_t) { selected = start; };
  auto t = bench::Clock::now();
  ql::TFormAnalyze dialog(nullptr, std::move(input));
  dialog.show();
  QApplication::processEvents();
  const double dialogMs = bench::MsSince(t);
  const int rows = dialog.Link_ListView->topLevelItemCount();
  t = bench::Clock::now();
  if (rows > 0) dialog.Link_ListView->setCurrentItem(dialog.Link_ListView->topLevelItem(rows - 1));
  QApplication::processEvents();
  const double selectMs = bench::MsSince(t);
  std::printf("links=%d dialog_ms=%.1f select_ms=%.1f selected=%lld\n", rows, dialogMs, selectMs,
              static_cast<long long>(selected));
  return rows > 0 && selected >= 0 ? 0 : 1;
}
