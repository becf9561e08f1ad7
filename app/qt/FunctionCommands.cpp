// The window's side of the text functions: the "Misc functions" dialog and
// the menu items that run its functions directly. The work is done by
// functions/ through WindowFunctionHost.
#include <QObject>
#include <cstdlib>

#include "app/qt/MainQuillora.h"
#include "app/qt/WindowToolHost.h"
#include "app/qt/TextToolCommands.h"
#include "common/FuncLib.h"
#include "editor/qt/EditorView.h"
#include "functions/qt/FunctionsDialog.h"
#include "functions/qt/ProcessWindow.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

// Lives as long as the window, as the dialog that uses it does.
class WindowFunctionHost : public QObject, public WindowToolHostOf<TextFunctionHost>, public FunctionsDialogHost {
 public:
  explicit WindowFunctionHost(TFormQuillora& form) : QObject(&form), WindowToolHostOf(form) {
    setObjectName("FunctionHost");
  }

  // TextFunctionHost
  void ShowStatus(const std::string& text) override { form_.ShowStatus(0, text); }
  void ShowProgress(const std::string& caption) override {
    SetProcessColors(form_.Options().BackColor, form_.Options().TextColor);
    ShowProcess(Utf8ToQ(caption));
  }
  void CloseProgress() override { CloseProcess(); }
  TProgressProc Progress() override { return [](int percent) { UpdateProcess(percent); }; }
  void CompletionSound() override { form_.PlayCompletionSound(form_.Options().MsgBeep); }
  void SetRangeColor(Offset pos, Offset length, std::uint32_t color) override {
    form_.Editor()->SetRangeColor(pos, length, color);
  }
  void BeginEditBlock() override { form_.Editor()->BeginEdit(); }
  void EndEditBlock() override { form_.Editor()->EndEdit(); }
  // FunctionsDialogHost
  QWidget* HostWindow() override { return &form_; }
  TextFunctionHost& Functions() override { return *this; }
  std::string DocFileName() const override { return form_.DocFileName(); }
  std::vector<std::string> KeywordFolders() const override {
    // Beside the program, the installed data folder, then the user's own.
    const std::string dir = ExtractFileDir(ProgramPath());
    std::vector<std::string> folders = {dir + "/Presets", ExtractFileDir(dir) + "/share/quillora/Presets"};
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && *data == '/')
      folders.push_back(std::string(data) + "/quillora/Presets");
    else if (home && *home)
      folders.push_back(std::string(home) + "/.local/share/quillora/Presets");
    return folders;
  }
  std::int64_t PickColor(std::int64_t color, const std::string& caption) override {
    return AskColor(form_.findChild<TFormFunc*>("FormFunc"), form_.store_, color, caption);
  }
  std::uint32_t BoxBackColor() const override { return form_.Options().BoxBackColor; }
  std::uint32_t BoxTextColor() const override { return form_.Options().BoxTextColor; }
  void NoText() override { form_.FileError(0, ""); }
  int ExecModal(QDialog& dialog) override { return form_.ExecModal(dialog); }
};

namespace {

// The dialog is made on first use and kept until the window goes.
TFormFunc& FunctionsDialog(TFormQuillora& form) {
  if (auto* dialog = form.findChild<TFormFunc*>("FormFunc")) return *dialog;
  auto* host = new WindowFunctionHost(form);
  return *new TFormFunc(*host);
}

}  // namespace

void TFormQuillora::Functions_Open() { FunctionsDialog(*this).Open(); }

void TFormQuillora::Function_Choice(int tag) {
  if (buffer_->TextLength() == 0) {
    FileError(0, "");
    return;
  }
  FunctionsDialog(*this).RunChoice(tag);
}

}  // namespace ql
