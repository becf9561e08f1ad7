// The document's file as other programs leave it: a change or deletion is
// noticed before a save overwrites it and when the window becomes active,
// and copies left by an interrupted save are reported when the file opens.
#include <QApplication>

#include "app/DocumentFile.h"
#include "app/WindowLogic.h"
#include "app/qt/MainQuillora.h"
#include "platform/qt/MessageBox.h"

namespace ql {

void TFormQuillora::RememberDiskFile(const FileStamp& stamp) {
  diskStamp_ = stamp;
  seenStamp_ = stamp;
}

bool TFormQuillora::DiskFileInSync() const {
  return docFileName_ != kUntitled && FileStampOf(docFileName_) == diskStamp_;
}

bool TFormQuillora::ConfirmOverwrite(const std::string& path) {
  if (path != docFileName_) return true;
  const FileStamp now = FileStampOf(path);
  if (CompareStamps(diskStamp_, now) != DiskChange::Changed) return true;
  seenStamp_ = now;  // told now: the activation after the box asks nothing more
  const MessageBoxText box = ChangedOnDiskText(path);
  return MsgBox(box.text, box.caption, box.flags) == 6;
}

void TFormQuillora::CheckDiskFile() {
  // Not while something else asks or the document is being replaced.
  if (checkingDisk_ || DocumentCommandRunning() || busy_ || !started_ || docFileName_ == kUntitled ||
      QApplication::activeModalWidget())
    return;
  const FileStamp now = FileStampOf(docFileName_);
  const DiskChange change = CompareStamps(diskStamp_, now);
  // Each state of the file is asked about once; a save still asks.
  if (change == DiskChange::None || now == seenStamp_) return;
  seenStamp_ = now;
  checkingDisk_ = true;
  DocumentScope scope(*this);  // a save or open from outside waits for the answer
  if (change == DiskChange::Deleted) {
    const MessageBoxText box = DeletedOnDiskText(docFileName_);
    MsgBox(box.text, box.caption, box.flags);
    // The text is now the only copy: closing must ask.
    SetModified(true);
    MenuFile_Popup();
  } else {
    const MessageBoxText box = ReloadQuestionText(docFileName_, Modified());
    if (MsgBox(box.text, box.caption, box.flags) == 6) ProcessDocument(dmRevert, "Reloaded:", docFileName_);
  }
  checkingDisk_ = false;
}

void TFormQuillora::ReportInterruptedSaves(const std::string& path) {
  const std::vector<std::string> copies = FindInterruptedSaves(path);
  if (copies.empty()) return;
  const MessageBoxText box = InterruptedSaveText(path, copies);
  MsgBox(box.text, box.caption, box.flags);
}

}  // namespace ql
