#include "app/qt/MainQuillora.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "app/qt/CommandTable.h"
#include "app/qt/RecoveryKeeper.h"
#include "editor/qt/EditorView.h"
#include "app/qt/DocumentPrinter.h"
#include "functions/qt/ProcessWindow.h"
#include "app/qt/WindowSearchHost.h"
#include "common/FuncLib.h"
#include "platform/Store.h"
#include "platform/qt/Help.h"
#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/Shell.h"
#include "platform/qt/Sound.h"

namespace ql {

TFormQuillora* FormQuillora = nullptr;

TFormQuillora::TFormQuillora(Store& store, std::vector<std::string> args, QWidget* parent)
    : QMainWindow(parent), store_(store), args_(std::move(args)) {
  startInstance_ = [](const std::vector<std::string>& params, const std::string& dir) {
    ShellExec(ProgramPath(), params, dir);
  };
  FormQuillora = this;
  setObjectName("FormQuillora");
  setAcceptDrops(true);

  RichEdit1 = new EditorView(this);
  buffer_ = RichEdit1;
  setCentralWidget(RichEdit1);

  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);

  for (int i = 0; i < 5; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(panels_[i], i == 4 ? 1 : 0);  // the last one takes the rest
  }

  actions_ = BuildCommands(*this);
  BuildToolBar();
  ConnectEditor();
  RichEdit1->installEventFilter(this);  // GuardTextInput
  RichEdit1->viewport()->installEventFilter(this);
  InstallHelp();
  CreateSearch();
  CreateTray();
  FormCreate();

  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (!AskSaveChanges("Save before quiting?")) manager.cancel();
  });
}

TFormQuillora::~TFormQuillora() {
  // Before the editor goes: the keeper writes what is pending from it.
  delete recovery_;
  recovery_ = nullptr;
  if (FormQuillora == this) FormQuillora = nullptr;
}

void TFormQuillora::FormCreate() {
  startTime_ = QDateTime::currentDateTime();
  runClock_.start();
  SetOwnerWindow(this);
  docFileName_ = kUntitled;

  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  LoadSettings(store_, screen.width(), screen.height(), options_, lists_);
  ApplyOptions();
}

void TFormQuillora::SyncCheckMarks() {
  static const char* const names[kCheckCount] = {
      "WordWrapOpt", "ToolBarOpt",    "StatusBarOpt",    "FullPathOpt",     "SaveAutoOpt",
      "DefRecentIconOpt", "AutoIndentOpt", "PromptBinaryOpt", "ChangeNfoFontOpt"};
  for (int i = 0; i < kCheckCount; ++i)
    if (QAction* a = actions_.value(names[i])) a->setChecked(options_.checks[i]);
}

void TFormQuillora::ApplyOptions() {
  SyncCheckMarks();
  RichEdit1->SetWordWrap(options_.Checked(Check::WordWrapOpt));
  ToolBar1->setVisible(options_.Checked(Check::ToolBarOpt));
  statusBar()->setVisible(options_.Checked(Check::StatusBarOpt));
  SetEditorFont(options_.FontNameScreen, options_.FontSizeScreen);
  SetEditorColors(options_.BackColor, options_.TextColor);
  SetProcessColors(options_.BackColor, options_.TextColor);
  ApplyTabStops();
}

void TFormQuillora::ApplyTabStops() { buffer_->SetTabStopPoints(options_.TabSize); }

void TFormQuillora::Start() {
  switch (options_.Window) {
    case wsMinimized:
      showMinimized();
      break;
    case wsMaximized:
      showMaximized();
      break;
    default:
      FormActivate();
      show();
      break;
  }
  FormShow();
}

void TFormQuillora::FormShow() {
  SetModified(false);
  UpdateTitle();
  ShowStatus(0, kVersionStatus);
  UpdateCaretStatus();
  MenuFile_Popup();
  started_ = true;
  if (!args_.empty()) HandleCommandLine();
}

void TFormQuillora::FormActivate() {
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return;
  PrevWndSize_Cmd();
}

int TFormQuillora::ExecModal(QDialog& dialog) {
  FlushRecovery();
  const int result = dialog.exec();
  FormActivate();
  return result;
}

void TFormQuillora::UpdateTitle() {
  const std::string caption =
      MakeCaption(docFileName_, options_.Checked(Check::FullPathOpt), Modified());
  setWindowTitle(Utf8ToQ(caption));
  appTitle_ = ApplicationTitle(caption);
}

void TFormQuillora::ShowStatus(int panel, const std::string& text) {
  if (panel < 0 || panel > 4) return;
  if (panel == 0) message_ = text;
  panels_[panel]->setText(Utf8ToQ(text));
  statusBar()->repaint();
}

std::string TFormQuillora::StatusText(int panel) const {
  if (panel < 0 || panel > 4) return {};
  return QToUtf8(panels_[panel]->text());
}

// The modified state is the Save item's enabled state, mirrored on Save2.
bool TFormQuillora::Modified() const { return Action("Save1")->isEnabled(); }

void TFormQuillora::SetModified(bool modified) {
  const bool changed = Modified() != modified;
  Action("Save1")->setEnabled(modified);
  Action("Save2")->setEnabled(modified);
  if (recovery_) {
    if (modified)
      recovery_->Dirty();
    else
      recovery_->Clean();
  }
  if (changed && started_) UpdateTitle();
}

EditorBuffer& TFormQuillora::Buffer() { return *buffer_; }

std::string TFormQuillora::EditorText() const { return buffer_->Text(); }

void TFormQuillora::SetEditorText(const std::string& text) {
  EditorBusy busy(*this, false);
  buffer_->SetText(text);
}

bool TFormQuillora::AskSaveChanges(const std::string& caption) {
  SavePrompt prompt;
  prompt.ask = [](const std::string& text, const std::string& cap, unsigned flags) {
    return MsgBox(text, cap, flags);
  };
  prompt.save = [this] {
    if (docFileName_ == kUntitled)
      SaveFileAs_Cmd();
    else
      SaveFile_Cmd();
    return !Modified();
  };
  return ql::AskSaveChanges(caption, Modified(), docFileName_, prompt);
}

void TFormQuillora::PlayCompletionSound(int index) { ql::PlayCompletionSound(index); }

// ---- settings ----

std::optional<Placement> TFormQuillora::NormalPlacement() const {
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return std::nullopt;
  return Placement{y(), x(), width(), height()};
}

bool TFormQuillora::SaveSettings(bool saveOptions, bool updateUsage) {
  if (windowState() & Qt::WindowMinimized)
    options_.Window = wsMinimized;
  else if (windowState() & Qt::WindowMaximized)
    options_.Window = wsMaximized;
  else
    options_.Window = wsNormal;
  // A monotonic clock: a clock change during the run must not bend the total.
  return ql::SaveSettings(store_, options_, lists_, NormalPlacement(), saveOptions, updateUsage,
                          RunDays());
}

void TFormQuillora::SaveSettings_Cmd() {
  if (SaveSettings(true, false))
    ShowStatus(0, "Settings saved to registry!");
  else
    ShowStatus(0, "Settings could not be saved!");
}

void TFormQuillora::PrevWndSize_Cmd() {
  setWindowState(Qt::WindowNoState);
  const Placement current{y(), x(), width(), height()};
  const Placement stored = ReadPlacement(store_, current);
  const QRect wanted = ClampToScreens(QRect(stored.left, stored.top, stored.width, stored.height));
  move(wanted.topLeft());
  resize(wanted.size());
}

void TFormQuillora::ToggleOption(Check option) {
  const bool on = !options_.Checked(option);
  options_.SetChecked(option, on);
  SyncCheckMarks();
  switch (option) {
    case Check::WordWrapOpt: {
      EditorBusy busy(*this, true);
      RichEdit1->SetWordWrap(on);
      break;
    }
    case Check::ToolBarOpt:
      ToolBar1->setVisible(on);
      break;
    case Check::StatusBarOpt:
      statusBar()->setVisible(on);
      break;
    case Check::FullPathOpt:
      UpdateTitle();
      break;
    default:
      break;
  }
  ShowStatus(0, ToggleStatusText(option, on));
}

void TFormQuillora::ThemeSelect(int themeIndex) {
  ApplyThemeColors(options_, themeIndex);
  // The stored screen font stays; the theme shows in its own font until the next start.
  EditorBusy busy(*this, true);
  buffer_->SelectAll();
  SetEditorFont("Courier New", 10);
  SetEditorColors(options_.BackColor, options_.TextColor);
  SetProcessColors(options_.BackColor, options_.TextColor);
}

// ---- commands ----


void TFormQuillora::OpenQuillora_Cmd() {
  const std::string dir = docFileName_ == kUntitled ? std::string() : ExtractFileDir(docFileName_);
  startInstance_({}, dir);
}

// ---- command line ----

void TFormQuillora::HandleCommandLine() {
  const CommandLineAction action = ClassifyCommandLine(args_);
  switch (action.kind) {
    case CommandLineAction::FirstRun: {
      const QDateTime now = QDateTime::currentDateTime();
      const QLocale locale;
      std::tm t{};
      t.tm_year = now.date().year() - 1900;
      t.tm_mon = now.date().month() - 1;
      t.tm_mday = now.date().day();
      t.tm_hour = now.time().hour();
      t.tm_min = now.time().minute();
      WriteFirstRunValues(store_,
                          FormatInstallDate(t, QToUtf8(locale.dayName(now.date().dayOfWeek())),
                                            QToUtf8(locale.monthName(now.date().month()))));
      MsgBox(FirstRunText(), kFirstRunCaption, 64);
      break;
    }
    case CommandLineAction::Help:
      InfoWithHelp(CommandLineHelpText(), 90);
      break;
    case CommandLineAction::OpenFiles:
      OpenCmdLine(action.first);
      for (const std::string& other : action.others) startInstance_({other}, "");
      break;
    case CommandLineAction::Nothing:
      break;
  }
}

// ---- instance command message ----

void TFormQuillora::SaveSettingsCommand() { SaveSettings_Cmd(); }
std::int64_t TFormQuillora::TextLength() const { return buffer_->TextLength(); }
std::int64_t TFormQuillora::LineCount() const { return buffer_->LineCount(); }
std::int64_t TFormQuillora::WordCount() const { return CountWords(EditorText()); }

// ---- window events ----

bool TFormQuillora::event(QEvent* event) {
  // Hints go to panel 0 while the mouse is over an item; the last message
  // comes back when it leaves.
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    panels_[0]->setText(tip.isEmpty() ? Utf8ToQ(message_) : tip);
    return true;
  }
  // Another program may have changed the file while we were away; asked
  // once the activation is over.
  if (event->type() == QEvent::WindowActivate)
    QTimer::singleShot(0, this, &TFormQuillora::CheckDiskFile);
  return QMainWindow::event(event);
}

void TFormQuillora::closeEvent(QCloseEvent* event) {
  if (DocumentCommandRunning()) {
    // A document is still coming in: close once it is there, asking as usual.
    event->ignore();
    RunDocumentCommand("close", [this] { close(); });
    return;
  }
  FlushRecovery();
  if (!AskSaveChanges("Save before quiting?")) {
    event->ignore();
    return;
  }
  // "No": the unsaved text is given up on purpose, its journal with it.
  if (recovery_) recovery_->Clean();
  SaveSettings(options_.Checked(Check::SaveAutoOpt), true);
  event->accept();
  if (InTray()) {
    // Closed from the tray menu: a hidden window's closing would not end
    // the program by itself.
    LeaveTray();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  }
}

void TFormQuillora::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (statusBar()->isHidden()) return;
  const std::array<int, 5> widths = StatusPanelWidths(frameGeometry().width());
  for (int i = 0; i < 4; ++i) panels_[i]->setFixedWidth(widths[i]);
  panels_[4]->setMinimumWidth(0);
  panels_[4]->setMaximumWidth(widths[4]);
}

}  // namespace ql
