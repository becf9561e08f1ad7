// The window's side of sorting, the hexadecimal dump, the text analyzer
// and go-to: short handlers; the work is done in tools/.
#include <QApplication>

#include "app/WindowLogic.h"
#include "app/qt/MainQuillora.h"
#include "app/qt/WindowToolHost.h"
#include "functions/qt/ProcessWindow.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "tools/GotoTarget.h"
#include "tools/HexDump.h"
#include "tools/SortLines.h"
#include "tools/TextStats.h"
#include "tools/qt/GotoDialog.h"
#include "tools/qt/WordCountDialog.h"

namespace ql {

namespace {

// The jobs reach the document, the status bar and the progress window
// through the window.
class WindowJobHost : public WindowToolHostOf<TextJobHost> {
 public:
  using WindowToolHostOf::WindowToolHostOf;
  bool Modified() const override { return form_.Modified(); }
  std::string DocFileName() const override { return form_.DocFileName(); }
  bool HasFile() const override { return DocumentHasFile(form_.DocFileName()); }
  void ShowStatus(const std::string& text) override { form_.ShowStatus(0, text); }
  void BeginProgress(const std::string& caption) override {
    SetProcessColors(form_.Options().BackColor, form_.Options().TextColor);
    ShowProcess(Utf8ToQ(caption));
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  TProgressProc Progress() override { return [](int percent) { UpdateProcess(percent); }; }
  void EndProgress() override {
    QApplication::restoreOverrideCursor();
    CloseProcess();
  }
  void Completed() override { form_.PlayCompletionSound(form_.Options().MsgBeep); }

};

}  // namespace

void TFormQuillora::SortLines_Cmd() {
  WindowJobHost host(*this);
  SortLinesCommand(host);
}

void TFormQuillora::DumpHex_Cmd() {
  WindowJobHost host(*this);
  DumpHexCommand(host);
}

void TFormQuillora::CountWords_Func() {
  EditorBuffer& b = Buffer();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const TextStats stats = AnalyzeText(b.Text(), b.SelText(), b.LineCount());
  QApplication::restoreOverrideCursor();
  TFormWordCount dialog(this, stats);
  ExecModal(dialog);
}

void TFormQuillora::GotoDialog_Open() {
  WindowJobHost host(*this);
  if (!GotoAllowed(host)) return;
  TFormGoto dialog(this, GotoOpening(Buffer()), options_.BoxBackColor, options_.BoxTextColor);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  GotoCommand(host, dialog.Kind(), dialog.TargetText());
}

}  // namespace ql
