// The main window: one document, the option check marks, the status bar,
// the save prompt and the run from first display to shutdown.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DocumentFile.h"
#include "editor/EditorBuffer.h"
#include "app/Options.h"
#include "app/RecoveryJournal.h"
#include "app/SettingsIO.h"
#include "app/WindowLogic.h"
#include "tools/FindReplace.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class QDialog;
class QTimer;

namespace ql {

class Store;
class EditorView;
class TFormFindReplace;
class TFormConfig;
class WindowSearchHost;
class RecoveryKeeper;

// The environment variable that hands a recovered journal to a new instance.
constexpr const char* kRecoverVariable = "QUILLORA_RECOVER";
class TTrayCtrl;
class DocumentPrinter;
class WindowConfigHost;

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
  EditorView* Editor() const { return RichEdit1; }
  EditorBuffer& Buffer();
  QMenu* PopupMenu(int number) const;

  // The editor-busy bracket: mode 1 begins, mode 2 ends. Prefer EditorBusy.
  void SetEditorBusy(int mode, bool keepSelection);
  bool EditorIsBusy() const { return busy_; }
  void SetEditorFont(const std::string& name, int size);
  void SetEditorColors(ColorRef back, ColorRef text);
  void REChange();
  void RESelChange();
  void UpdateCaretStatus();
  void UpdateEditItems();

  // Edit commands.
  void Undo_Cmd();
  void Cut_Cmd();
  void Copy_Cmd();
  void Paste_Cmd();
  void Delete_Cmd();
  void SelectAll_Cmd();
  void Paste3_MouseMove();
  void FontChange_Cmd(int tag);
  void ChangeScreenFont_Open();
  void ChangePrintFont_Open();
  void CtrlUp_Cmd();
  void CtrlDown_Cmd();
  void Refresh_Cmd();
  void REContextPopup();
  void RClickMenu_Popup();
  void FilesDropped(const QStringList& files);
  void PastePrimary_Cmd();  // middle click: the X11 primary selection, text only

  // Commands (menu handlers).
  void Close_Cmd();
  void SaveSettings_Cmd();
  void PrevWndSize_Cmd();
  void OpenQuillora_Cmd();
  // Document files.
  void NewFile_Cmd();
  void OpenFile_Cmd();
  void OpenInCopy_Cmd();
  void SaveFile_Cmd();
  void SaveFileAs_Cmd();
  void Revert_Cmd();
  void ReadNonTxtFile_Cmd();
  void ExecFileDef_Cmd();
  void FileInfo_Open();
  void RenMoveFile_Cmd();
  void DeleteFile_Cmd();
  void MenuFile_Popup();
  void MenuTools_Popup();
  void PopupMenu3_Popup();
  void Function_Choice(int tag);
  void Functions_Open();
  void CheckHtmlSyntax_Cmd();
  void Tools_Open(int tag);
  void Run_Open();  // UtilityCommands.cpp, with FileInfo_Open
  void Help_Open(int tag);
  void ToolList_Popup();
  // Text tools (TextToolCommands.cpp).
  void UpperCase_Cmd();
  void LowerCase_Cmd();
  void TitleCase_Cmd();
  void ToggleCase_Cmd();
  void AnsiToOem_Cmd();
  void OemToAnsi_Cmd();
  void MultiToSingleChar_Cmd(int tag);
  void CenterSpace_Cmd();
  void DateTime_Open();
  void FileName_Cmd();
  void FileName83_Cmd();
  void FNameRelative_Cmd();
  void TextFromFile_Cmd();
  void AsciiChars_Cmd();
  void VisibleAsciiChars_Cmd();
  void InsHexColor_Cmd();

  // Utility dialogs (UtilityCommands.cpp).
  void NumConvert_Open();
  void Associate_Open();
  void About_Open();
  void RevealHiddenMenu();  // the about box's hidden gesture
  double RunDays() const;   // this run so far, from a monotonic clock
  // The configuration dialog, made on first use and kept (ConfigCommands.cpp).
  void Config_Open();
  TFormConfig* ConfigDialog();
  // Sorting, the hexadecimal dump, the text analyzer, go to (TextJobCommands.cpp).
  void SortLines_Cmd();
  void DumpHex_Cmd();
  void CountWords_Func();
  void GotoDialog_Open();

  // HTML tools (HtmlCommands.cpp).
  void HtmlWizard_Open();
  void AnalyzePage_Cmd();
  void MiniHtml_Cmd();
  void RemHtmlTag_Cmd();
  // The wizard's picture chooser (tests answer through the file-dialog
  // handler with kind "picture"); "" when cancelled.
  std::string AskPicture(const std::string& folder);

  // Find and replace.
  void FindRep_Open();
  void FindNext_Cmd();
  void FindNext2_MouseMove();
  void EnableFindNext(bool on);
  SearchEngine& Search() { return *search_; }
  TFormFindReplace* FindReplaceDialog() const;
  QWidget* SearchOwner();  // the window the search's boxes stand above
  // Tests answer the "Confirm" dialog instead of a user.
  using ConfirmHandler =
      std::function<ConfirmAnswer(const std::string& find, const std::string& replace, bool all)>;
  void SetConfirmHandler(ConfirmHandler handler) { confirm_ = std::move(handler); }
  // ProcessDocument's modes.
  enum DocMode { dmNew = 1, dmOpen = 2, dmSave = 3, dmSaveAs = 4, dmOpenOther = 5, dmRevert = 6 };
  // path: the file to read or write (DocFileName for most callers); it
  // becomes DocFileName only when the mode's read or write succeeded.
  // Returns whether it did. A big file is read in the background; then the
  // result comes later and `done` (if any) hears it.
  bool ProcessDocument(int mode, const std::string& history, const std::string& path);
  int FileError(int code, const std::string& name);  // the box's answer
  bool LoadingDocument() const { return loading_; }
  LineEnd DocumentLineEnd() const { return lineEnd_; }
  const FileEncoding& DocumentEncoding() const { return encoding_; }
  // Read the document's file again as raw bytes / as UTF-8 (EncodingCommands.cpp).
  void ReopenAsBytes_Cmd();
  void ReopenAsUtf8_Cmd();

  // Commands that save or replace the document run one at a time. One that
  // comes from outside (a menu, a drop, another process) while another is
  // under way, its prompts and a background load included, waits until that
  // one has ended; a non-empty key waits only once.
  void RunDocumentCommand(const std::string& key, std::function<void()> command);
  bool DocumentCommandRunning() const { return docDepth_ > 0 || loading_; }

  // Recovery journal (RecoveryCommands.cpp): journals of this instance
  // (owner) in folder; none until enabled.
  void EnableRecovery(const std::string& folder, const std::string& owner);
  RecoveryKeeper* Recovery() const { return recovery_; }
  // After the window is shown: the journal another instance handed us, or
  // the journals of instances that are gone, offered back.
  void StartRecovery(const std::string& handedJournal);
  void OfferRecovery();
  // Pending journal records go to the disk now (before long commands).
  void FlushRecovery();
  // How a further recovered document gets its own instance (tests record).
  using RecoveryStarter = std::function<void(const std::string& journal, const std::string& dir)>;
  void SetRecoveryStarter(RecoveryStarter starter) { startRecovery_ = std::move(starter); }
  // The tray icon (TrayCommands.cpp).
  void MinimizeToTray_Cmd();
  void Restore_Cmd();
  bool InTray() const;
  TTrayCtrl* Tray() const { return TrayCtrl1; }

  // Printing (PrintCommands.cpp).
  void Print_Cmd();
  void PrintSetup_Cmd();
  DocumentPrinter& Printing();

  // Recent files.
  void AddToRecent();
  void BuildRecentMenu(QMenu* menu);
  void OpenRecent_Cmd(int index);
  void RemoveObsolete_Cmd();
  void ClearRecent_Cmd();
  void RecentList_Popup();

  // Tests choose files instead of the dialogs: kind is "open", "openCopy",
  // "save" or "rename"; the answer is the chosen paths (none: cancelled).
  using FileDialogHandler =
      std::function<std::vector<std::string>(const std::string& kind, const std::string& start)>;
  void SetFileDialogHandler(FileDialogHandler handler) { fileDialog_ = std::move(handler); }
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
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Marks a document command under way for its lifetime.
  class DocumentScope {
   public:
    explicit DocumentScope(TFormQuillora& form);
    ~DocumentScope();
    DocumentScope(const DocumentScope&) = delete;
    DocumentScope& operator=(const DocumentScope&) = delete;

   private:
    TFormQuillora& form_;
  };
  void RunPendingCommands();
  void OpenRecentFile(std::string path);  // a copy: the list changes meanwhile
  void ReadBinary(const std::string& path);
  void ReportOpenFailure(int result, const std::string& name);

  void FormCreate();
  void FormShow();
  void FormActivate();
  void HandleCommandLine();
  void OpenCmdLine(const std::string& arg);
  std::vector<std::string> AskFiles(const std::string& kind, const std::string& start);
  bool ReadIntoEditor(int mode, const std::string& history, const std::string& path);
  // What a read found out before the text went into the editor.
  struct ReadFacts {
    bool nfo = false;                // enough NFO characters for "Terminal"
    std::int64_t lengthInStyle = 0;  // the text's length in the file's line ends and encoding
    EncodingChoice choice = EncodingChoice::Detect;  // what the read asked for
  };
  bool FinishRead(int mode, const std::string& history, const std::string& path,
                  const LoadedDocument& doc, const ReadFacts& facts);
  // The document's encoding: status note, menu check marks, and the text
  // a UTF-8 document cannot take (EncodingCommands.cpp).
  std::string EncodingStatusNote() const;
  void UpdateEncodingItems();
  bool RefuseForeignText(const QString& text, bool fromClipboard);
  bool GuardTextInput(QObject* watched, QEvent* event);
  void ReopenAs(EncodingChoice choice, const std::string& history);
  void FinishDocument(int mode, const std::string& history, const std::string& note);
  // The file on disk (DiskWatch.cpp).
  void RememberDiskFile(const FileStamp& stamp);
  bool DiskFileInSync() const;
  bool ConfirmOverwrite(const std::string& path);
  void CheckDiskFile();
  void ReportInterruptedSaves(const std::string& path);
  JournalDocument DescribeDocument() const;
  bool RecoverInto(const std::string& journal, JournalContents contents);
  void InstallHelp();
  void CreateSearch();
  void CreateTray();
  void LeaveTray();  // the icon goes, closing the last window ends the program again
  bool MenuHelpKey(QObject* watched, QEvent* event);
  bool SaveSettings(bool saveOptions, bool updateUsage);
  void ApplyOptions();
  void SyncCheckMarks();
  void ApplyTabStops();
  void ConnectEditor();
  bool AutoIndentEnter();
  void BuildToolBar();
  std::optional<Placement> NormalPlacement() const;

  Store& store_;
  InstanceStarter startInstance_;
  std::vector<std::string> args_;
  AppOptions options_;
  AppLists lists_;
  std::string docFileName_;
  std::string appTitle_;
  QDateTime startTime_;
  QElapsedTimer runClock_;  // the running time counted into "OpenTimer"
  bool loading_ = false;
  int docDepth_ = 0;  // document commands under way
  std::vector<std::pair<std::string, std::function<void()>>> pending_;
  LineEnd lineEnd_ = LineEnd::Lf;  // the document file's line ends
  FileEncoding encoding_;          // and how it holds its characters
  EncodingChoice encodingChoice_ = EncodingChoice::Detect;  // for the next read
  EncodingChoice readChoice_ = EncodingChoice::Detect;      // how the document was read
  std::string dialogDir_;          // where the file dialogs start
  FileStamp diskStamp_;            // the file as last read or saved
  FileStamp seenStamp_;            // the state last asked about
  bool checkingDisk_ = false;
  FileDialogHandler fileDialog_;
  ConfirmHandler confirm_;
  RecoveryKeeper* recovery_ = nullptr;
  RecoveryStarter startRecovery_;
  std::unique_ptr<WindowSearchHost> searchHost_;
  std::unique_ptr<SearchEngine> search_;
  TFormFindReplace* findReplace_ = nullptr;
  friend class WindowSearchHost;
  friend class WindowConfigHost;
  friend class WindowFunctionHost;
  bool started_ = false;
  bool busy_ = false;
  int quiet_ = 0;  // programmatic redisplay under way: no change, no status
  Offset savedSelStart_ = 0, savedSelLength_ = 0;
  std::string message_;  // panel 0's last message, back after a hint

  EditorView* RichEdit1 = nullptr;
  EditorBuffer* buffer_ = nullptr;  // the control itself
  QToolBar* ToolBar1 = nullptr;
  TTrayCtrl* TrayCtrl1 = nullptr;
  QTimer* trayWatch_ = nullptr;  // brings the window back if the tray goes away
  bool quitOnLastClosed_ = true;  // the application's setting before the tray
  std::unique_ptr<DocumentPrinter> printer_;
  std::array<QLabel*, 5> panels_{};
  QHash<QString, QAction*> actions_;
};

extern TFormQuillora* FormQuillora;

// Opens the editor-busy bracket for a scope; it closes on every way out.
class EditorBusy {
 public:
  EditorBusy(TFormQuillora& form, bool keepSelection) : form_(form), keep_(keepSelection) {
    form_.SetEditorBusy(1, keep_);
  }
  ~EditorBusy() { form_.SetEditorBusy(2, keep_); }
  EditorBusy(const EditorBusy&) = delete;
  EditorBusy& operator=(const EditorBusy&) = delete;

 private:
  TFormQuillora& form_;
  bool keep_;
};

}  // namespace ql
