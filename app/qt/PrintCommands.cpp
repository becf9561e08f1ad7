// The window's side of printing: what to print, handed to the printer.
#include "app/PrintLayout.h"
#include "app/WindowLogic.h"
#include "app/qt/DocumentPrinter.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"

namespace ql {

DocumentPrinter& TFormQuillora::Printing() {
  if (!printer_) printer_ = std::make_unique<DocumentPrinter>([this](QDialog& d) { return ExecModal(d); });
  return *printer_;
}

void TFormQuillora::Print_Cmd() {
  PrintRequest r;
  r.text = EditorText();
  r.fontName = options_.FontNamePrint;
  r.fontSize = options_.FontSizePrint;
  r.tabStopPoints = buffer_->TabStopPoints();
  r.docFileName = docFileName_;
  r.title = PrintJobTitle(docFileName_, DocumentHasFile(docFileName_) ? FileSizeOf(docFileName_) : -1);
  Printing().Print(r);
}

void TFormQuillora::PrintSetup_Cmd() { Printing().PageSetup(); }

}  // namespace ql
