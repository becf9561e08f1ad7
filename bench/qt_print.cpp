// Times printing a document to a PDF file the way File > Print does (the
// job drawn page by page through the print font's glyph table), offscreen:
//   qt_print FILE OUT.pdf
// Prints one line of key=value figures for run.sh; ms is the timed part.
#include <QApplication>
#include <QPrinter>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/DocumentFile.h"
#include "app/PrintLayout.h"
#include "app/qt/DocumentPrinter.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: qt_print FILE OUT.pdf\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const ql::LoadedDocument doc = ql::ReadDocument(argv[1]);
  if (doc.status != ql::LoadedDocument::Ok) {
    std::fprintf(stderr, "qt_print: cannot read %s\n", argv[1]);
    return 1;
  }
  ql::PrintRequest r;
  r.text = doc.text;
  r.fontName = "Courier New";
  r.fontSize = 10;
  r.tabStopPoints = 48;
  r.title = ql::PrintJobTitle(argv[1], static_cast<std::int64_t>(doc.fileSize));

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromLocal8Bit(argv[2]));
  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  const ql::PrintResult result = ql::PrintText(printer, r);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  if (result.kind != ql::PrintResult::Printed) {
    std::fprintf(stderr, "qt_print: %s\n", result.error.c_str());
    return 1;
  }
  std::printf("ms=%.1f lines=%zu\n", ms, ql::PrintedLines(r.text).size());
  return 0;
}
