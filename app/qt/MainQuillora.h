// The main window: one document, the option check marks, the status bar,
// the save prompt and the run from first display to shutdown.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Options.h"
#include "app/SettingsIO.h"
#include "app/WindowLogic.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QToolBar;
class QDialog;

namespace ql {

class Store;

class TFormQuillora : public QMainWindow, public InstanceTarget {
  Q_OBJECT

 public:
  // The store outlives the window; args are the command-line arguments
  // without the program name.
  TFormQuillora(Store& store, std::vector<std::string> args, QWidget* parent = nullptr);
  ~TFormQuillora() override;

  // Shows the window in its stored state and runs the first display.
  void Start();

  // Services other windows use.
  void UpdateTitle();
  void ShowStatus(int panel, const std::string& text);
  std::string StatusText(int panel) const;
  bool AskSaveChanges(const std::string& caption);
  void PlayCompletionSound(int index);
  int ExecModal(QDialog& dialog);  // returns to the stored placement afterwards

  // Document state.
  const std::string& DocFileName() const { return docFileName_; }
  bool Modified() const override;
  void SetModified(bool modified);
  std::string EditorText() const;  // Windows-1252, CR LF line breaks
  void SetEditorText(const std::string& text);
  std::string ApplicationTitleText() const { return appTitle_; }

  // How further copies of the program are started (tests record instead).
  using InstanceStarter =
      std::function<void(const std::vector<std::string>& params, const std::string& dir)>;
  void SetInstanceStarter(InstanceStarter starter) { startInstance_ = std::move(starter); }

  AppOptions& Options() { return options_; }
  AppLists& Lists() { return lists_; }
  QAction* Action(const QString& name) const { return actions_.value(name); }
  QPlainTextEdit* Editor() const { return RichEdit1; }

  void SetEditorFont(const std::string& name, int size);
  void SetEditorColors(ColorRef back, ColorRef text);

  // Commands (menu handlers).
  void Close_Cmd();
  void SaveSettings_Cmd();
  void PrevWndSize_Cmd();
  void OpenQuillora_Cmd();
  void SaveFile_Cmd();
  void SaveFileAs_Cmd();
  void ExecFileDef_Cmd();
  void ToggleOption(Check option);
  void ThemeSelect(int themeIndex);

  // The instance command message.
  void SaveSettingsCommand() override;
  void QueueExecFileDef() override;
  void QueueSaveFile() override;
  bool DocumentFileExists() const override;
  std::int64_t TextLength() const override;
  std::int64_t LineCount() const override;
  std::int64_t WordCount() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormActivate();
  void HandleCommandLine();
  void OpenCmdLine(const std::string& arg);
  bool WriteDocument(const std::string& path, const std::string& history);
  bool SaveSettings(bool saveOptions, bool updateUsage);
  void ApplyOptions();
  void SyncCheckMarks();
  void ApplyTabStops();
  std::optional<Placement> NormalPlacement() const;

  Store& store_;
  InstanceStarter startInstance_;
  std::vector<std::string> args_;
  AppOptions options_;
  AppLists lists_;
  std::string docFileName_;
  std::string appTitle_;
  QDateTime startTime_;
  bool findPrompt_ = true;
  bool modified_ = false;
  bool started_ = false;

  QPlainTextEdit* RichEdit1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  std::array<QLabel*, 5> panels_{};
  QHash<QString, QAction*> actions_;
};

extern TFormQuillora* FormQuillora;

}  // namespace ql
