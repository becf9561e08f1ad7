// Printing through the window to PDF files, read back with the PDF tools
// (pdftotext, pdfinfo, pdftoppm from poppler-utils), offscreen.
#include <QAction>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "app/RecentList.h"
#include "app/qt/DocumentPrinter.h"
#include "app/qt/MainQuillora.h"
#include "platform/qt/QtText.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

QString Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return "<" + program + " failed: " + QString::fromUtf8(p.readAllStandardError()) + ">";
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Lines with their blanks folded: one blank between words, none at the
// ends, no empty lines. Pages are kept apart by "\f".
QStringList Folded(const QString& text) {
  QStringList out;
  for (const QString& line : text.split('\n')) {
    QString s = line;
    if (s.startsWith('\f')) {
      out << "\f";
      s.remove(0, 1);
    }
    s = s.simplified();
    if (!s.isEmpty()) out << s;
  }
  while (!out.isEmpty() && out.back() == "\f") out.removeLast();
  return out;
}

QString Info(const QString& pdf, const QString& field) {
  for (const QString& line : Run("pdfinfo", {pdf}).split('\n'))
    if (line.startsWith(field + ":")) return line.mid(field.size() + 1).trimmed();
  return "<no " + field + ">";
}

}  // namespace

class PrintTest : public QObject, private WindowFixture {
  Q_OBJECT

  QString pdf_;
  int dialogs_ = 0;

  // The print dialog "chooses" a PDF file.
  void PrintTo(const QString& pdf, bool ok = true, int copies = 1) {
    DocumentPrinter::SetDialogHook([=](QPrinter& printer, bool setup) {
      if (setup) return false;
      ++dialogs_;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setCopyCount(copies);
      return ok;
    });
  }

 private slots:
  void initTestCase() {
    for (const char* tool : {"pdftotext", "pdfinfo", "pdftoppm"})
      QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
               qPrintable(QString(tool) + " is missing: run scripts/deps.sh"));
  }
  void init() {
    Start();
    pdf_ = P("out.pdf");
    QFile::remove(pdf_);
    dialogs_ = 0;
  }
  void cleanup() {
    DocumentPrinter::SetDialogHook(nullptr);
    SetMsgBoxHook(nullptr);
    Stop();
  }

  void printedTextMatchesTheDocument() {
    // 150 lines: several pages; a tab, Windows-1252 letters, an empty line.
    std::string doc;
    for (int i = 1; i <= 150; ++i) {
      doc += "Line " + std::to_string(i) + " of the text";
      if (i == 3) doc += "\twith a tab";
      if (i == 4) doc += " caf\xE9 na\xEFve \x80 5";
      doc += "\r\n";
      if (i == 10) doc += "\r\n";
    }
    QVERIFY(WriteFile(P("doc.txt"), QByteArray::fromStdString(doc)));
    Open("doc.txt");
    PrintTo(pdf_);
    form->Action("Print1")->trigger();
    QCOMPARE(dialogs_, 1);
    QVERIFY(QFile::exists(pdf_));

    QStringList printed = Folded(Run("pdftotext", {"-layout", "-enc", "UTF-8", pdf_, "-"}));
    const int pages = Info(pdf_, "Pages").toInt();
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    QCOMPARE(printed.count("\f"), pages - 1);
    printed.removeAll("\f");
    QStringList expected;
    for (const QString& l : ToQString(doc).split("\r\n")) {
      const QString s = l.simplified();
      if (!s.isEmpty()) expected << s;
    }
    QCOMPARE(printed, expected);

    // The job title: file name, two blanks, size in kb.
    QCOMPARE(Info(pdf_, "Title"),
             "doc.txt  (" + QString::fromStdString(FormatKb(static_cast<std::int64_t>(doc.size()))) + " kb)");
  }

  void printWaitsForADocumentComingIn() {
    // Big enough to be read in the background; one long line after the first.
    QVERIFY(WriteFile(P("big.txt"), "head line\r\n" + QByteArray(5 * 1024 * 1024, 'x')));
    Open("big.txt");
    QVERIFY(form->LoadingDocument());
    PrintTo(pdf_);
    form->Action("Print1")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(dialogs_ == 1, 60000);
    const QStringList printed = Folded(Run("pdftotext", {"-layout", pdf_, "-"}));
    QCOMPARE(printed.size(), 2);
    QCOMPARE(printed[0], QString("head line"));
  }

  void progressSeesEveryPageAndCanCancel() {
    PrintRequest r;
    for (int i = 0; i < 300; ++i) r.text += "line " + std::to_string(i) + "\r\n";
    r.fontName = "Courier New";
    r.title = "job";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf_);
    std::vector<std::size_t> seen;
    std::size_t total = 0;
    PrintResult done = PrintText(printer, r, [&](std::size_t page, std::size_t pages) {
      seen.push_back(page);
      total = pages;
      return true;
    });
    QCOMPARE(done.kind, PrintResult::Printed);
    QCOMPARE(QString::number(total), Info(pdf_, "Pages"));
    QCOMPARE(seen.size(), total);
    for (std::size_t i = 0; i < seen.size(); ++i) QCOMPARE(seen[i], i);

    QFile::remove(pdf_);
    QPrinter again(QPrinter::HighResolution);
    again.setOutputFormat(QPrinter::PdfFormat);
    again.setOutputFileName(pdf_);
    seen.clear();
    done = PrintText(again, r, [&](std::size_t page, std::size_t) {
      seen.push_back(page);
      return page < 1;  // cancelled before the second page
    });
    QCOMPARE(done.kind, PrintResult::Cancelled);
    QCOMPARE(seen.size(), std::size_t(2));
    QVERIFY(!QFile::exists(pdf_));  // no half job that looks whole
  }

  void longLinesAreCutNotWrapped() {
    const std::string longLine(400, 'w');
    form->SetEditorText("first\r\n" + longLine + "\r\nlast");
    PrintTo(pdf_);
    form->Print_Cmd();
    const QStringList printed = Folded(Run("pdftotext", {"-layout", pdf_, "-"}));
    QCOMPARE(printed.size(), 3);
    QCOMPARE(printed[0], QString("first"));
    QVERIFY(printed[1].size() > 20 && printed[1].size() < 400);
    QCOMPARE(printed[1], QString(printed[1].size(), 'w'));
    QCOMPARE(printed[2], QString("last"));
  }

  void printsBlackWhateverTheEditorColors() {
    form->SetEditorColors(0x00FFFF00, 0x000000FF);  // cyan paper, red text
    form->SetEditorText("MMMMMMMMMMMMMMMMMMMM ########\r\nWWWWWWWWWWWW");
    PrintTo(pdf_);
    form->Print_Cmd();
    QCOMPARE(Run("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf_, P("page")}), QString());
    const QImage img(P("page.png"));
    QVERIFY(!img.isNull());
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        QVERIFY2(qAbs(c.red() - c.green()) <= 2 && qAbs(c.green() - c.blue()) <= 2,
                 qPrintable(QString("colored pixel at %1,%2: %3").arg(x).arg(y).arg(c.name())));
        if (c.red() < 100) ++dark;
      }
    QVERIFY(dark > 20);  // the text is there
  }

  void emptyDocumentPrintsOneEmptyPage() {
    PrintTo(pdf_);
    form->Print_Cmd();
    QCOMPARE(Info(pdf_, "Pages"), QString("1"));
    QVERIFY(Folded(Run("pdftotext", {pdf_, "-"})).isEmpty());
    QCOMPARE(Info(pdf_, "Title"), QString("Untitled  (-0.0010 kb)"));
  }

  void copiesRepeatTheJob() {
    form->SetEditorText("one page\r\n");
    PrintTo(pdf_, true, 3);
    form->Print_Cmd();
    QCOMPARE(Info(pdf_, "Pages"), QString("3"));
    QCOMPARE(Folded(Run("pdftotext", {pdf_, "-"})).count("one page"), 3);
  }

  void cancelledDialogPrintsNothing() {
    form->SetEditorText("text");
    PrintTo(pdf_, false);
    ScriptedBoxes boxes;
    form->Print_Cmd();
    QCOMPARE(dialogs_, 1);
    QVERIFY(!QFile::exists(pdf_));
    QVERIFY(boxes.seen.empty());
  }

  void printerThatCannotStartShowsAnErrorBox() {
    form->SetEditorText("text");
    const QString bad = P("no/such/folder/out.pdf");
    PrintTo(bad);
    ScriptedBoxes boxes;
    form->Print_Cmd();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Print"});
    QCOMPARE(boxes.seen[0].flags, 16u);
    QVERIFY(boxes.seen[0].text.find(bad.toStdString()) != std::string::npos);
    QVERIFY(!QFile::exists(bad));
  }

  void pageSetupHoldsForTheNextPrint() {
    form->SetEditorText("landscape");
    DocumentPrinter::SetDialogHook([](QPrinter& printer, bool setup) {
      if (setup) printer.setPageOrientation(QPageLayout::Landscape);
      return true;
    });
    form->Action("PrintSetup1")->trigger();
    QPageLayout::Orientation seen = QPageLayout::Portrait;
    DocumentPrinter::SetDialogHook([&](QPrinter& printer, bool) {
      seen = printer.pageLayout().orientation();
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf_);
      return true;
    });
    form->Print_Cmd();
    QCOMPARE(seen, QPageLayout::Landscape);
    const QStringList size = Info(pdf_, "Page size").split(' ');
    QVERIFY(size.size() > 2 && size[0].toDouble() > size[2].toDouble());
  }

  void withoutPrintersAPdfIsSuggestedBesideTheDocument() {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
      QSKIP("this machine has printers: the PDF fallback does not apply");
    QVERIFY(WriteFile(P("report.txt"), "x"));
    Open("report.txt");
    QString offered;
    DocumentPrinter::SetDialogHook([&](QPrinter& printer, bool) {
      offered = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : "<native>";
      return false;
    });
    form->Print_Cmd();
    QCOMPARE(offered, P("report.pdf"));
    // A name the user chose stays.
    DocumentPrinter::SetDialogHook([&](QPrinter& printer, bool) {
      printer.setOutputFileName(P("mine.pdf"));
      return false;
    });
    form->Print_Cmd();
    DocumentPrinter::SetDialogHook([&](QPrinter& printer, bool) {
      offered = printer.outputFileName();
      return false;
    });
    form->Print_Cmd();
    QCOMPARE(offered, P("mine.pdf"));
  }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
