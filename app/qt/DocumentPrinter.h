// Printing the document: the print and page-setup dialogs on one kept
// printer, and the job itself, drawn page by page through the editor's
// byte-to-glyph tables in black.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

class QDialog;
class QPrinter;

namespace ql {

struct PrintRequest {
  std::string text;  // Windows-1252, CR LF breaks
  std::string fontName;
  int fontSize = 10;             // points
  double tabStopPoints = 36;
  std::string title;             // the job's name, UTF-8
  std::string docFileName;       // where a PDF is suggested
};

struct PrintResult {
  enum Kind { Printed, Cancelled, Failed };
  Kind kind = Printed;
  std::string error;  // Failed: what to tell the user
};
// Told before each page (0-based) of the whole job; false cancels it.
using PrintProgress = std::function<bool(std::size_t page, std::size_t pages)>;

// Draws the request on a printer that is set up.
PrintResult PrintText(QPrinter& printer, const PrintRequest& request,
                      const PrintProgress& progress = nullptr);

class DocumentPrinter {
 public:
  // Shows a dialog modally and returns its result.
  using ExecFn = std::function<int(QDialog& dialog)>;
  explicit DocumentPrinter(ExecFn exec);
  ~DocumentPrinter();

  // The print dialog, then the job; an error box when the job fails.
  // Returns whether the job was printed.
  bool Print(const PrintRequest& request);
  // The page setup; its choices hold for the next print.
  void PageSetup();
  // Created on first use; without any printer it writes a PDF file.
  QPrinter& Printer();

  // Tests answer the dialogs: setup tells which one; return whether OK was
  // pressed. The hook may change the printer as the dialog would.
  using DialogHook = std::function<bool(QPrinter& printer, bool setup)>;
  static void SetDialogHook(DialogHook hook);

 private:
  void SuggestPdfName(const std::string& docFileName);

  ExecFn exec_;
  std::unique_ptr<QPrinter> printer_;
  QString suggested_;  // the PDF name we put there last
};

}  // namespace ql
