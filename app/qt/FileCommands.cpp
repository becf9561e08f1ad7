// The document's file commands: new, open, save, save as, revert, read as
// binary, execute, rename or move, delete, dropped files and the command
// line, all through ProcessDocument.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/RecentList.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "common/Codepage.h"
#include "common/FuncLib.h"
#include "common/Utf8.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

namespace {

// Files from this size on are read and laid out off the window's thread.
constexpr std::int64_t kBackgroundBytes = 4 * 1024 * 1024;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// What a file too big for memory gives: an error box, nothing replaced.
LoadedDocument OutOfMemory(const std::string& path) {
  LoadedDocument doc;
  doc.status = LoadedDocument::Unreadable;
  doc.fileSize = FileSizeOf(path);
  doc.error = "There is not enough memory to hold this file.";
  return doc;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

bool ExistsButNotRegular(const std::string& path) {
  return !IsExistingFile(path) && std::filesystem::exists(path);
}

const char* LineEndName(LineEnd style) {
  switch (style) {
    case LineEnd::CrLf: return "CR LF";
    case LineEnd::Cr: return "CR";
    default: return "LF";
  }
}

}  // namespace

int TFormQuillora::FileError(int code, const std::string& name) {
  const MessageBoxText box = FileErrorText(code, name, docFileName_);
  const int answer = MsgBox(box.text, box.caption, box.flags);
  if (code == 4 && answer == 6) SaveFileAs_Cmd();
  return answer;
}

std::vector<std::string> TFormQuillora::AskFiles(const std::string& kind, const std::string& start) {
  if (fileDialog_) return fileDialog_(kind, start);
  const bool open = kind == "open" || kind == "openCopy";
  const char* title = open ? "Open Plain text file"
                           : kind == "rename" ? "Rename/Move file" : "Save plain text file";
  QFileDialog dialog(this, title, PathToQ(dialogDir_));
  QStringList filters;
  for (const std::string& f : DialogFilters(open ? kOpenFilter : kSaveFilter)) filters << Utf8ToQ(f);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(1));
  dialog.setDefaultSuffix("txt");
  if (open) {
    dialog.setFileMode(QFileDialog::ExistingFiles);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!start.empty()) dialog.selectFile(PathToQ(start));
  }
  if (kind == "rename") {
    // An existing target is refused with its own box; a "replace it?"
    // question first would promise what does not happen.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The name without its extension is ready to be typed over.
    const std::string name = ExtractFileName(start);
    const int length = static_cast<int>(PathToQ(name.substr(0, BaseNameLength(name))).size());
    QTimer::singleShot(0, &dialog, [&dialog, length] {
      if (auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit")) edit->setSelection(0, length);
    });
  }
  std::vector<std::string> chosen;
  if (ExecModal(dialog) == QDialog::Accepted)
    for (const QString& f : dialog.selectedFiles()) chosen.push_back(QToPath(f));
  return chosen;
}

// ---- ProcessDocument ----

bool TFormQuillora::ProcessDocument(int mode, const std::string& history, const std::string& path) {
  if (loading_) return false;  // one document at a time
  savedSelStart_ = buffer_->SelStart();
  savedSelLength_ = buffer_->SelLength();
  switch (mode) {
    case dmNew: {
      {
        EditorBusy busy(*this, false);
        buffer_->SetText("");
        buffer_->SelectAll();
        SetEditorColors(options_.BackColor, options_.TextColor);
        buffer_->SetSelection(0, 0);
      }
      docFileName_ = kUntitled;
      lineEnd_ = LineEnd::Lf;  // new documents get the Linux convention
      encoding_ = {};
      RememberDiskFile({});
      FinishDocument(mode, history, "");
      return true;
    }
    case dmOpen:
    case dmOpenOther:
    case dmRevert:
      return ReadIntoEditor(mode, history, path);
    case dmSave:
    case dmSaveAs: {
      if (IsReadOnlyFile(path)) {
        FileError(4, path);
        return false;
      }
      if (!ConfirmOverwrite(path)) return false;
      const SaveResult result = SaveFileSafely(path, FileBytes(buffer_->Text(), lineEnd_, encoding_));
      if (!result.ok) {
        // The old file is whole; the document stays modified.
        MsgBox("The file could not be saved:\n" + Quoted(path) + "\n\n" + result.error,
               "Couldn't save!", 16);
        return false;
      }
      docFileName_ = path;
      RememberDiskFile(result.stamp);
      FinishDocument(mode, history, EncodingStatusNote());
      return true;
    }
    default:
      return false;
  }
}

bool TFormQuillora::ReadIntoEditor(int mode, const std::string& history, const std::string& path) {
  EncodingChoice choice = encodingChoice_;  // for this read only
  encodingChoice_ = EncodingChoice::Detect;
  // Revert and reload read the file the way the document was read.
  if (mode == dmRevert && choice == EncodingChoice::Detect) choice = readChoice_;
  if (FileSizeOf(path) < kBackgroundBytes) {
    LoadedDocument doc;
    try {
      doc = ReadDocument(path, choice);
    } catch (const std::bad_alloc&) {
      doc = OutOfMemory(path);
    }
    const ReadFacts facts{HasNfoCharacters(doc.text), LengthInFile(doc.text, doc.style, doc.encoding),
                          choice};
    if (doc.status == LoadedDocument::Ok) {
      EditorBusy busy(*this, false);
      RichEdit1->SetText(std::move(doc.text));  // taken over, not copied
    }
    return FinishRead(mode, history, path, doc, facts);
  }

  // A big file: read and index it in the background (nothing is decoded:
  // the view draws the bytes); the window keeps repainting and the current
  // document stays until the new one is ready.
  loading_ = true;
  RichEdit1->SetReadOnly(true);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  ShowStatus(0, "Opening " + Quoted(ExtractFileName(path)) + " ...");
  QPointer<TFormQuillora> self(this);
  std::thread([self, mode, history, path, choice] {
    auto doc = std::make_shared<LoadedDocument>();
    auto facts = std::make_shared<ReadFacts>();
    facts->choice = choice;
    // Handed over whole: the document is never copied.
    auto model = std::make_shared<std::unique_ptr<MemoryBuffer>>();
    // Running out of memory here must not end the program: the current
    // document stays and the user is told.
    try {
      *doc = ReadDocumentBytes(path, choice);
      if (doc->status == LoadedDocument::Ok) {
        facts->nfo = HasNfoCharacters(doc->text);
        // UTF-8 bytes beyond one per character; breaks are ASCII either way.
        // Only a cut text is ever compared with the file size.
        std::int64_t utf8Extra = 0;
        if (doc->cut && doc->encoding.kind == TextEncoding::Utf8)
          utf8Extra = Utf8ExtraBytes(doc->text) + (doc->encoding.bom ? 3 : 0);
        *model = std::make_unique<MemoryBuffer>();
        (*model)->Load(std::move(doc->text));
        doc->text.clear();
        // Length as the file would have it: each CR LF counted as the file's break.
        const Offset breaks = (*model)->PhysicalLines() - 1;
        doc->mixed = MixedBreaks(doc->style, doc->crs, doc->lfs, breaks);
        facts->lengthInStyle =
            (*model)->TextLength() - (doc->style == LineEnd::CrLf ? 0 : breaks) + utf8Extra;
      }
    } catch (const std::bad_alloc&) {
      model->reset();
      *doc = OutOfMemory(path);
    }
    QMetaObject::invokeMethod(qApp, [self, mode, history, path, doc, facts, model] {
      if (!self) return;
      DocumentScope scope(*self);
      self->loading_ = false;
      self->RichEdit1->SetReadOnly(false);
      QApplication::restoreOverrideCursor();
      if (*model) {
        EditorBusy busy(*self, false);
        self->RichEdit1->AdoptDocument(std::move(*model));
      }
      self->FinishRead(mode, history, path, *doc, *facts);
    });
  }).detach();
  return true;
}

bool TFormQuillora::FinishRead(int mode, const std::string& history, const std::string& path,
                               const LoadedDocument& doc, const ReadFacts& facts) {
  if (doc.status != LoadedDocument::Ok) {
    if (doc.status == LoadedDocument::Unreadable)
      MsgBox("The file could not be read:\n" + Quoted(path) + "\n\n" + doc.error, "Couldn't open!",
             16);
    else
      FileError(1, path);
    UpdateCaretStatus();
    return false;
  }
  docFileName_ = path;
  lineEnd_ = doc.style;
  encoding_ = doc.encoding;
  // UTF-8 that could not be had is not asked for again by a revert.
  readChoice_ = facts.choice == EncodingChoice::Utf8 && encoding_.kind != TextEncoding::Utf8
                    ? EncodingChoice::Detect
                    : facts.choice;
  RememberDiskFile(doc.stamp);
  bool binary = false;
  if (doc.cut && options_.Checked(Check::PromptBinaryOpt)) {
    // Compared in the file's own encoding.
    const MessageBoxText box = LengthPromptText(facts.lengthInStyle, doc.fileSize);
    binary = MsgBox(box.text, box.caption, box.flags) == 6;
    if (binary) ReadBinary(path);
  }
  {
    EditorBusy busy(*this, false);
    // The text as read, unless it was read again as binary (no second copy of a big file).
    if (options_.Checked(Check::ChangeNfoFontOpt) &&
        (binary ? HasNfoCharacters(buffer_->Text()) : facts.nfo))
      SetEditorFont("Terminal", 9);
    else
      SetEditorFont(options_.FontNameScreen, options_.FontSizeScreen);
    if ((mode == dmOpen || mode == dmOpenOther) && IsLogDocument(buffer_->Line(0))) {
      const QDateTime now = QDateTime::currentDateTime();
      const QLocale locale;
      const QString time = Utf8ToQ(WithoutTimeZone(QToUtf8(locale.timeFormat(QLocale::LongFormat))));
      const std::string stamp = QToUtf8(locale.toString(now.date(), QLocale::ShortFormat) + " " +
                                        locale.toString(now.time(), time));
      const std::string text = buffer_->Text();
      const bool endsWithBreak = text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
      buffer_->SetSelection(buffer_->TextLength(), 0);
      // The stamp is Windows-1252 text in the document.
      buffer_->ReplaceSelection((endsWithBreak ? "" : "\r\n") +
                                EncodeFromUtf8(Codepage::Cp1252, stamp) + "\r\n");
      buffer_->ClearUndo();
    }
  }
  std::string note;
  // Read as binary, the text is the raw bytes whatever was detected.
  const EncodingChoice choice = facts.choice;
  const std::string encodingNote = binary ? std::string() : OpenedEncodingNote(doc, choice);
  if (!encodingNote.empty()) note = "  (" + encodingNote + ")";
  if (doc.mixed)
    note += std::string("  (mixed line ends: saved with ") + LineEndName(doc.style) + ")";
  FinishDocument(mode, history, note);
  ReportInterruptedSaves(path);
  if (!binary && choice == EncodingChoice::Utf8 && doc.encoding.kind != TextEncoding::Utf8)
    MsgBox("The following file cannot be read as UTF-8 without losing characters:\n" + Quoted(path) +
               "\n\n" + doc.encodingNote + ".\n\nIt was read as 8-bit bytes.",
           "Not read as UTF-8!", 48);
  return true;
}

void TFormQuillora::FinishDocument(int mode, const std::string& history, const std::string& note) {
  const bool log = (mode == dmOpen || mode == dmOpenOther) && IsLogDocument(buffer_->Line(0));
  SetModified(log);
  if (mode == dmNew || mode == dmOpen || mode == dmOpenOther || mode == dmRevert) buffer_->ClearUndo();
  if (mode == dmOpen || mode == dmSaveAs || mode == dmOpenOther) AddToRecent();
  if (mode == dmNew) {
    ShowStatus(0, history);
  } else {
    ShowStatus(0, history + " " + Quoted(ExtractFileName(docFileName_)) + note);
    dialogDir_ = ExtractFileDir(docFileName_);
  }
  if (mode == dmRevert) buffer_->SetSelection(savedSelStart_, savedSelLength_);
  if (log) buffer_->SetSelection(buffer_->TextLength(), 0);
  UpdateCaretStatus();
  UpdateEditItems();
  MenuFile_Popup();
  UpdateTitle();
}

// ---- commands ----

void TFormQuillora::NewFile_Cmd() {
  DocumentScope scope(*this);
  if (AskSaveChanges("Save your work?")) ProcessDocument(dmNew, "New file", "");
}

void TFormQuillora::OpenFile_Cmd() {
  DocumentScope scope(*this);
  if (!AskSaveChanges("Do you wanna save first?")) return;
  const std::vector<std::string> files = AskFiles("open", "");
  if (files.empty()) return;
  if (!IsExistingFile(files.front())) {
    FileError(1, files.front());
    return;
  }
  for (std::size_t i = 1; i < files.size(); ++i) startInstance_({files[i]}, "");
  ProcessDocument(dmOpen, "Opened:", files.front());
}

void TFormQuillora::OpenInCopy_Cmd() {
  for (const std::string& f : AskFiles("openCopy", "")) startInstance_({f}, "");
}

void TFormQuillora::FilesDropped(const QStringList& files) {
  DocumentScope scope(*this);
  if (files.isEmpty() || !AskSaveChanges("Save Before Opening Dropped File?")) return;
  ProcessDocument(dmOpen, "Dropped:", QToPath(files.front()));
  for (int i = 1; i < files.size(); ++i) startInstance_({QToPath(files[i])}, "");
}

void TFormQuillora::OpenCmdLine(const std::string& arg) {
  DocumentScope scope(*this);
  if (IsExistingFile(arg)) {
    ProcessDocument(dmOpenOther, "Opened from CommandLine:", LongFileName(arg));
    return;
  }
  const std::string full = AbsolutePath(arg);
  if (ExistsButNotRegular(arg)) {  // a directory or device is no document
    FileError(1, full);
    return;
  }
  if (FileError(3, full) != 6) return;
  if (HasIllegalNameCharacter(arg)) {
    MsgBox("Illegal character in the filename:\n" + Quoted(arg), "Illegal filename!", 16);
    return;
  }
  lineEnd_ = LineEnd::Lf;
  encoding_ = {};
  if (ProcessDocument(dmSave, "Created:", full)) AddToRecent();
}

void TFormQuillora::SaveFile_Cmd() {
  DocumentScope scope(*this);
  if (docFileName_ == kUntitled)
    SaveFileAs_Cmd();
  else if (IsExistingFile(docFileName_))
    ProcessDocument(dmSave, "Saved:", docFileName_);
  else
    FileError(1, docFileName_);
}

void TFormQuillora::SaveFileAs_Cmd() {
  DocumentScope scope(*this);
  const std::string start = docFileName_ == kUntitled ? std::string() : docFileName_;
  const std::vector<std::string> files = AskFiles("save", start);
  if (!files.empty()) ProcessDocument(dmSaveAs, "Saved as:", files.front());
}

void TFormQuillora::Revert_Cmd() {
  DocumentScope scope(*this);
  if (MsgBox("Are you sure you want to revert the current file:\n" + Quoted(docFileName_) +
                 "\nto the one from disk?",
             "Revert Current File?", 36) != 6)
    return;
  if (DocumentHasFile(docFileName_))
    ProcessDocument(dmRevert, "Reverted:", docFileName_);
  else
    FileError(6, docFileName_);
}

void TFormQuillora::ReadNonTxtFile_Cmd() {
  DocumentScope scope(*this);
  if (!DocumentHasFile(docFileName_)) {
    FileError(1, docFileName_);
    return;
  }
  // The file replaces the text: typed text is saved first or given up knowingly.
  if (!AskSaveChanges("Do you wanna save first?")) return;
  ReadBinary(docFileName_);
  RememberDiskFile(FileStampOf(docFileName_));  // the text is the file as it is now
  UpdateCaretStatus();
}

void TFormQuillora::ReadBinary(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EditorBusy busy(*this, true);
  buffer_->SetText(BinaryText(bytes.str()));
  // The text is now the file's raw bytes and is saved as such.
  encoding_ = {};
  UpdateEncodingItems();
}

void TFormQuillora::ExecFileDef_Cmd() {
  DocumentScope scope(*this);
  SaveSettings(true, false);
  if (!DocumentHasFile(docFileName_)) {
    FileError(1, docFileName_);
    return;
  }
  // Handed to the desktop's opener for its type, never run as a program.
  const std::string name = docFileName_;
  QPointer<TFormQuillora> self(this);
  ReportOpenFailure(OpenDocument(name, [self, name](int result) {
                      if (self) self->ReportOpenFailure(result, name);
                    }),
                    name);
}

void TFormQuillora::ReportOpenFailure(int result, const std::string& name) {
  if (result == kShellFileNotFound)
    FileError(1, name);
  else if (result == kShellNoAssociation)
    MsgBox("There was no associations to the file,\nor an error occured getting associated "
           "application!",
           "Error executing file!", 16);
}

void TFormQuillora::RenMoveFile_Cmd() {
  DocumentScope scope(*this);
  if (!DocumentHasFile(docFileName_)) {
    FileError(1, docFileName_);
    return;
  }
  const std::vector<std::string> files = AskFiles("rename", docFileName_);
  if (files.empty()) return;
  const std::string target = files.front();
  if (std::filesystem::exists(std::filesystem::symlink_status(target))) {
    FileError(2, target);
    return;
  }
  const bool inSync = DiskFileInSync();
  QFile file(PathToQ(docFileName_));
  if (!file.rename(PathToQ(target))) {
    MsgBox("The file:\n" + Quoted(docFileName_) + "\nCould not be renamed to:\n" + Quoted(target) +
               "\n\n" + QToUtf8(file.errorString()),
           "Couldn't rename!", 16);
    return;
  }
  docFileName_ = target;
  // A move to another file system makes a new file; it is still ours.
  if (inSync) RememberDiskFile(FileStampOf(target));
  AddToRecent();
  MenuFile_Popup();
  UpdateTitle();
}

void TFormQuillora::DeleteFile_Cmd() {
  DocumentScope scope(*this);
  if (MsgBox("Are you sure you want to delete the file:\n" + Quoted(docFileName_) +
                 "\nThe file won't be moved to the recycle, but deleted totaly!\n\nAre you sure "
                 "you want to delete the file?",
             "Delete file!?", 52) != 6)
    return;
  if (!DocumentHasFile(docFileName_)) {
    FileError(1, docFileName_);
    return;
  }
  if (IsReadOnlyFile(docFileName_)) {
    FileError(5, docFileName_);
    return;
  }
  std::error_code ec;
  if (!std::filesystem::remove(docFileName_, ec) || ec) {
    // The text stays: nothing is discarded for a file that is still there.
    MsgBox("Couldn't delete the following file:\n" + Quoted(docFileName_) + "\n\n" + ec.message(),
           "Couldn't delete!", 16);
    return;
  }
  ProcessDocument(dmNew, "New file", "");
}

void TFormQuillora::MenuFile_Popup() {
  const bool exists = DocumentHasFile(docFileName_);
  for (const char* name : {"ReadAsBinFile1", "ReopenBytes1", "ReopenUtf81", "Revert1", "FileInfo1",
                           "FileInfo2", "RenMovFile1", "DeleteFile1", "ExecFileDef1"})
    Action(name)->setEnabled(exists);
  UpdateEncodingItems();
}

}  // namespace ql
