#include "app/qt/DocumentPrinter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGlyphRun>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <cmath>
#include <vector>

#include "app/PrintLayout.h"
#include "app/WindowLogic.h"
#include "editor/qt/GlyphTable.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OwnerWindow.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

DocumentPrinter::DialogHook& Hook() {
  static DocumentPrinter::DialogHook hook;
  return hook;
}

// The glyphs of one line, one run per font of the table.
void DrawLine(QPainter& p, const GlyphTable& table, std::string_view line, qreal x0, qreal maxX,
              qreal baseline) {
  std::vector<QList<quint32>> glyphs(table.Fonts().size());
  std::vector<QList<QPointF>> points(table.Fonts().size());
  for (const PlacedByte& b : PlaceLine(line, table.Widths(), x0, maxX)) {
    const GlyphTable::Entry& e = table[static_cast<unsigned char>(line[b.index])];
    glyphs[static_cast<std::size_t>(e.font)].push_back(e.glyph);
    points[static_cast<std::size_t>(e.font)].push_back(QPointF(b.x, baseline));
  }
  for (std::size_t f = 0; f < glyphs.size(); ++f) {
    if (glyphs[f].isEmpty()) continue;
    QGlyphRun run;
    run.setRawFont(table.Fonts()[f]);
    run.setGlyphIndexes(glyphs[f]);
    run.setPositions(points[f]);
    p.drawGlyphRun(QPointF(0, 0), run);
  }
}

QString PrinterLabel(const QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty())
    return printer.outputFileName();
  return printer.printerName();
}

}  // namespace

PrintResult PrintText(QPrinter& printer, const PrintRequest& r, const PrintProgress& progress) {
  printer.setDocName(Utf8ToQ(r.title));
  printer.setFullPage(false);  // the printer's own margins
  QPainter p;
  if (!p.begin(&printer))
    return {PrintResult::Failed,
            "The printer could not start printing:\n\"" + QToUtf8(PrinterLabel(printer)) + "\""};

  // The table is built at the printer's resolution, so the advances are
  // the ones the paper gets.
  const qreal dpi = printer.resolution();
  QFont font = EditorFont(r.fontName, r.fontSize);
  font.setPixelSize(std::max(1, qRound(r.fontSize * dpi / 72.0)));
  const Codepage cp = r.fontName == "Terminal" ? Codepage::Cp437 : Codepage::Cp1252;
  const GlyphTable table(font, cp, r.tabStopPoints * dpi / 72.0);

  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  const std::vector<PrintedLine> lines = PrintedLines(r.text);
  const std::vector<PrintPage> pages = Paginate(lines.size(), table.LineHeight(), page.height());
  const qreal x0 = kPrintIndent * table[' '].advance;
  const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
  const std::size_t total = pages.size() * static_cast<std::size_t>(copies);

  p.setPen(Qt::black);  // whatever the editor's colors
  std::size_t done = 0;
  for (int copy = 0; copy < copies; ++copy) {
    for (const PrintPage& pg : pages) {
      if (progress && !progress(done, total)) {
        printer.abort();
        p.end();
        // A file with the first pages only would look like the whole job.
        if (!printer.outputFileName().isEmpty()) QFile::remove(printer.outputFileName());
        return {PrintResult::Cancelled, {}};
      }
      if (done > 0 && !printer.newPage()) {
        p.end();
        return {PrintResult::Failed, "Printing stopped: the printer reported an error on \"" +
                                         QToUtf8(PrinterLabel(printer)) + "\"."};
      }
      ++done;
      for (std::size_t i = 0; i < pg.count; ++i) {
        const PrintedLine& l = lines[pg.first + i];
        const std::string_view line(r.text.data() + l.start, l.length);
        DrawLine(p, table, line, x0, page.width(), static_cast<qreal>(i) * table.LineHeight() + table.Ascent());
      }
    }
  }
  if (!p.end())
    return {PrintResult::Failed,
            "The print job could not be finished:\n\"" + QToUtf8(PrinterLabel(printer)) + "\""};
  return {};
}

void DocumentPrinter::SetDialogHook(DialogHook hook) { Hook() = std::move(hook); }

DocumentPrinter::DocumentPrinter(ExecFn exec) : exec_(std::move(exec)) {}
DocumentPrinter::~DocumentPrinter() = default;

QPrinter& DocumentPrinter::Printer() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Nothing to print on: the job goes to a PDF file.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
      printer_->setOutputFormat(QPrinter::PdfFormat);
  }
  return *printer_;
}

// A PDF goes beside the document, named after it, unless the user chose
// another file earlier.
void DocumentPrinter::SuggestPdfName(const std::string& docFileName) {
  QPrinter& printer = Printer();
  if (printer.outputFormat() != QPrinter::PdfFormat) return;
  if (!printer.outputFileName().isEmpty() && printer.outputFileName() != suggested_) return;
  QString name;
  if (DocumentHasFile(docFileName)) {
    const QFileInfo doc(PathToQ(docFileName));
    name = doc.absolutePath() + "/" + doc.completeBaseName() + ".pdf";
  } else {
    name = QDir::homePath() + "/" + kUntitled + ".pdf";
  }
  printer.setOutputFileName(name);
  suggested_ = name;
}

bool DocumentPrinter::Print(const PrintRequest& request) {
  QPrinter& printer = Printer();
  SuggestPdfName(request.docFileName);
  printer.setPrintRange(QPrinter::AllPages);  // always the whole text
  bool ok;
  if (Hook()) {
    ok = Hook()(printer, false);
  } else {
    QPrintDialog dialog(&printer, OwnerWindow());
    // Only the printer, its settings and the copies count: the whole text
    // is printed, so no page range or selection is offered.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    ok = exec_(dialog) == QDialog::Accepted;
  }
  if (!ok) return false;
  // A long job shows its pages going by and can be cancelled.
  QProgressDialog progress("Printing...", "Cancel", 0, 1, OwnerWindow());
  progress.setWindowTitle("Print");
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(700);
  const PrintResult result = PrintText(printer, request, [&](std::size_t page, std::size_t pages) {
    if (progress.maximum() != static_cast<int>(pages)) progress.setMaximum(static_cast<int>(pages));
    progress.setValue(static_cast<int>(page));  // lets the events through once it shows
    return !progress.wasCanceled();
  });
  progress.reset();
  if (result.kind == PrintResult::Failed) MsgBox(result.error, "Print", 16);
  return result.kind == PrintResult::Printed;
}

void DocumentPrinter::PageSetup() {
  QPrinter& printer = Printer();
  if (Hook()) {
    Hook()(printer, true);
    return;
  }
  QPageSetupDialog dialog(&printer, OwnerWindow());
  exec_(dialog);
}

}  // namespace ql
