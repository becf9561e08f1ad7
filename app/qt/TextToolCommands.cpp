// The window's side of the text tools: one short handler per menu item; the
// work is done by the tools on the editor buffer.
#include "app/qt/TextToolCommands.h"

#include <QInputDialog>

#include "app/qt/MainQuillora.h"
#include "app/qt/WindowToolHost.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OwnerWindow.h"
#include "platform/qt/QtText.h"
#include "tools/CaseTransforms.h"
#include "tools/Insertions.h"
#include "dialogs/qt/ColorPickDialog.h"
#include "tools/qt/DateTimeDialog.h"

namespace ql {

namespace {

// The tools reach the document and the user through the window.
class WindowToolHost : public WindowToolHostOf<TextToolHost> {
 public:
  using WindowToolHostOf::WindowToolHostOf;

};

TextInputHook& InputHook() {
  static TextInputHook hook;
  return hook;
}

std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) {
  if (InputHook()) return InputHook()(caption, prompt, initial);
  bool ok = false;
  const QString text = QInputDialog::getText(OwnerWindow(), Utf8ToQ(caption), Utf8ToQ(prompt),
                                             QLineEdit::Normal, ToQString(initial), &ok);
  if (!ok) return std::nullopt;
  return FromQString(text);
}

ColorPickHook& PickHook() {
  static ColorPickHook hook;
  return hook;
}

}  // namespace

void SetTextInputHook(TextInputHook hook) { InputHook() = std::move(hook); }
void SetColorPickHook(ColorPickHook hook) { PickHook() = std::move(hook); }

std::int64_t AskColor(QWidget* owner, Store& store, std::int64_t initial, const std::string& caption) {
  return PickHook() ? PickHook()(initial) : PickColor(owner, store, initial, caption);
}

void TFormQuillora::UpperCase_Cmd() {
  WindowToolHost host(*this);
  CaseCommand(host, CaseKind::Upper);
}

void TFormQuillora::LowerCase_Cmd() {
  WindowToolHost host(*this);
  CaseCommand(host, CaseKind::Lower);
}

void TFormQuillora::TitleCase_Cmd() {
  WindowToolHost host(*this);
  CaseCommand(host, CaseKind::Title);
}

void TFormQuillora::ToggleCase_Cmd() {
  WindowToolHost host(*this);
  CaseCommand(host, CaseKind::Toggle);
}

void TFormQuillora::AnsiToOem_Cmd() {
  WindowToolHost host(*this);
  CharsetCommand(host, true);
}

void TFormQuillora::OemToAnsi_Cmd() {
  WindowToolHost host(*this);
  CharsetCommand(host, false);
}

void TFormQuillora::MultiToSingleChar_Cmd(int tag) {
  WindowToolHost host(*this);
  MultiToSingleCommand(host, tag);
}

void TFormQuillora::CenterSpace_Cmd() {
  WindowToolHost host(*this);
  CenterSpaceCommand(host);
}

void TFormQuillora::DateTime_Open() {
  TFormDateTime dialog(this, options_.BoxBackColor, options_.BoxTextColor, options_.BackColor,
                       options_.TextColor);
  if (ExecModal(dialog) != QDialog::Accepted) return;
  WindowToolHost host(*this);
  InsertText(host, FormatDateTime(dialog.DateTimeFormat(), CurrentDateTime(), SystemDateLocale()));
}

namespace {
void InsertFileNames(TFormQuillora& form, const std::vector<std::string>& files, FileNameForm how) {
  if (files.empty()) return;
  WindowToolHost host(form);
  InsertText(host, FileNameLines(files, how, form.DocFileName()));
}
}  // namespace

void TFormQuillora::FileName_Cmd() { InsertFileNames(*this, AskFiles("open", ""), FileNameForm::Full); }

void TFormQuillora::FileName83_Cmd() {
  InsertFileNames(*this, AskFiles("open", ""), FileNameForm::Short);
}

void TFormQuillora::FNameRelative_Cmd() {
  InsertFileNames(*this, AskFiles("open", ""), FileNameForm::Relative);
}

void TFormQuillora::TextFromFile_Cmd() {
  const std::vector<std::string> files = AskFiles("open", "");
  if (files.empty()) return;
  WindowToolHost host(*this);
  TextFromFileCommand(host, files.front());
}

void TFormQuillora::AsciiChars_Cmd() {
  const std::optional<std::string> input =
      AskText("Insert ASCII characters", "Write numbers of ASCII characters (0..255)", kAsciiPrompt);
  if (!input) return;
  WindowToolHost host(*this);
  AsciiCharsCommand(host, *input);
}

void TFormQuillora::VisibleAsciiChars_Cmd() {
  WindowToolHost host(*this);
  InsertText(host, VisibleAsciiBlock());
}

void TFormQuillora::InsHexColor_Cmd() {
  EditorBuffer& b = Buffer();
  const Offset length = b.SelLength();
  const HexColorStart start = ReadHexSelection(length == 6 || length == 7 ? b.SelText() : "");
  const std::int64_t color = AskColor(this, store_, start.initial, "");
  if (color < 0) return;
  WindowToolHost host(*this);
  InsertText(host, (start.hash ? "#" : "") + HexColorCode(static_cast<Color>(color)));
}

}  // namespace ql
