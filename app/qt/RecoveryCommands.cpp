// Unsaved text kept through a crash: the journal of this window's document
// and, at start-up, the journals of instances that are gone, offered back.
#include <QDateTime>
#include <QLocalSocket>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include "app/RecoveryOffer.h"
#include "app/qt/MainQuillora.h"
#include "app/qt/RecoveryKeeper.h"
#include "common/FuncLib.h"
#include "editor/qt/EditorView.h"
#include "platform/qt/InstanceChannel.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OwnerWindow.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

namespace {

// The instance that kept a journal still runs: it holds its lock, or its
// socket answers.
bool OwnerRunning(const std::string& folder, const std::string& owner) {
  if (InstanceLockHeld(folder, owner)) return true;
  const QString dir = InstanceSocketDir(false);
  if (dir.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(dir + "/" + QString::fromStdString(owner));
  return socket.waitForConnected(300);
}

std::string ChangedText(std::int64_t ms) {
  if (ms <= 0) return {};
  const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms);
  return QToUtf8(QLocale().toString(t, QLocale::ShortFormat));
}

// Yes, No or Discard; Esc and the close box keep the journals (No).
int AskRecovery(const std::string& text) {
  if (MsgBoxHookActive()) return MsgBox(text, kRecoveryCaption, 35);  // 6, 7, 2 (discard)
  QMessageBox box(OwnerWindow());
  box.setWindowTitle(Utf8ToQ(kRecoveryCaption));
  box.setText(Utf8ToQ(text));
  box.setIcon(QMessageBox::Question);
  QPushButton* yes = box.addButton(QMessageBox::Yes);
  QPushButton* no = box.addButton(QMessageBox::No);
  QPushButton* discard = box.addButton("&Discard", QMessageBox::DestructiveRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  ReserveCaptionWidth(box, kRecoveryCaption);
  box.exec();
  if (box.clickedButton() == yes) return 6;
  if (box.clickedButton() == discard) return 2;
  return 7;
}

}  // namespace

void TFormQuillora::EnableRecovery(const std::string& folder, const std::string& owner) {
  if (!recovery_) {
    recovery_ = new RecoveryKeeper(
        *RichEdit1, [this] { return DescribeDocument(); },
        [this](const std::string& message) { ShowStatus(0, message); }, this);
    if (!startRecovery_)
      startRecovery_ = [](const std::string& journal, const std::string& dir) {
        // The journal's name travels in the environment: every argument
        // of ours is a file name.
        QProcess process;
        process.setProgram(PathToQ(ProgramPath()));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kRecoverVariable, PathToQ(journal));
        process.setProcessEnvironment(env);
        if (!dir.empty()) process.setWorkingDirectory(PathToQ(dir));
        process.startDetached();
      };
  }
  recovery_->Enable(folder, owner);
}

JournalDocument TFormQuillora::DescribeDocument() const {
  JournalDocument doc;
  doc.path = docFileName_ == kUntitled ? std::string() : docFileName_;
  doc.stamp = doc.path.empty() ? FileStamp{} : diskStamp_;
  doc.lineEnd = lineEnd_;
  doc.encoding = encoding_;
  doc.createdMs = QDateTime::currentMSecsSinceEpoch();
  return doc;
}

void TFormQuillora::FlushRecovery() {
  if (recovery_) recovery_->Flush();
}

void TFormQuillora::StartRecovery(const std::string& handedJournal) {
  if (!recovery_) return;
  if (!recovery_->Enabled()) {
    if (!recovery_->Problem().empty()) ShowStatus(0, recovery_->Problem());
    return;
  }
  if (!handedJournal.empty()) {
    // Another instance recovered several documents and gave us this one.
    const std::string folder = recovery_->Folder();
    const std::string name = ExtractFileName(handedJournal);
    if (ExtractFileDir(handedJournal) != folder || !ParseJournalFileName(name)) return;
    const std::string path = ClaimJournal(folder, name, recovery_->Owner(), recovery_->NewJournalNumber());
    if (path.empty()) return;
    RecoverInto(path, ReadJournalFile(path));
    return;
  }
  OfferRecovery();
}

void TFormQuillora::OfferRecovery() {
  const std::string folder = recovery_->Folder();
  RemoveDeadLocks(folder);
  // Taken over first, so no other instance starting now offers them too.
  std::vector<std::pair<std::string, JournalContents>> found;
  for (const std::string& name : ListJournals(folder)) {
    const std::string owner = ParseJournalFileName(name)->owner;
    if (owner == recovery_->Owner() || OwnerRunning(folder, owner)) continue;
    const std::string path = ClaimJournal(folder, name, recovery_->Owner(), recovery_->NewJournalNumber());
    if (path.empty()) continue;
    JournalContents contents = ReadJournalFile(path);
    if (!contents.usable) {
      // Not even the first snapshot made it to the disk: nothing to give back.
      std::remove(path.c_str());
      continue;
    }
    found.emplace_back(path, std::move(contents));
  }
  if (found.empty()) return;
  std::vector<OfferedJournal> offered;
  for (const auto& f : found)
    offered.push_back({f.second.document.path, ChangedText(f.second.changedMs), f.second.complete});
  const int answer = AskRecovery(RecoveryQuestion(offered));
  if (answer == 7) return;  // kept (under our name until we end) for the next start
  if (answer != 6) {
    for (const auto& f : found) std::remove(f.first.c_str());
    ShowStatus(0, "Unsaved text discarded");
    return;
  }
  std::size_t first = 0;
  if (!Modified() && docFileName_ == kUntitled && !DocumentCommandRunning()) {
    RecoverInto(found[0].first, std::move(found[0].second));
    first = 1;
  }
  for (std::size_t i = first; i < found.size(); ++i) {
    const std::string& docPath = found[i].second.document.path;
    startRecovery_(found[i].first, docPath.empty() ? std::string() : ExtractFileDir(docPath));
  }
}

bool TFormQuillora::RecoverInto(const std::string& journal, JournalContents contents) {
  if (!contents.usable) return false;
  const JournalDocument& doc = contents.document;
  const BaseState base = CompareBase(doc, FileStampOf(doc.path));
  {
    EditorBusy busy(*this, false);
    RichEdit1->SetText(std::move(contents.text));
    SetEditorFont(options_.FontNameScreen, options_.FontSizeScreen);
  }
  buffer_->ClearUndo();
  docFileName_ = base == BaseState::Same ? doc.path : std::string(kUntitled);
  lineEnd_ = doc.lineEnd;
  encoding_ = doc.encoding;
  RememberDiskFile(base == BaseState::Same ? doc.stamp : FileStamp{});
  SetModified(true);  // a journal of ours starts with the recovered text
  if (recovery_) {
    recovery_->Flush();
    recovery_->RemoveAfterWrites(journal);
  }
  RichEdit1->SetAnchorCaret(contents.anchor, contents.caret);
  RichEdit1->ScrollToCaret();
  if (!docFileName_.empty() && docFileName_ != kUntitled) dialogDir_ = ExtractFileDir(docFileName_);
  ShowStatus(0, RecoveredStatus(doc, base, contents.complete));
  UpdateCaretStatus();
  UpdateEditItems();
  MenuFile_Popup();
  Action("Revert1")->setEnabled(docFileName_ != kUntitled && Action("Revert1")->isEnabled());
  UpdateTitle();
  return true;
}

}  // namespace ql
