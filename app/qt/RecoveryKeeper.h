// The window's recovery journal: hears every edit of the document (kept in
// memory by the JournalRecorder), writes them from a timer through the
// JournalWriter's thread about a second after the first one, and at once
// when asked before a command that might take long. A journal that cannot
// be written turns journaling off with one status message; typing and
// saving never wait for it.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/JournalRecorder.h"
#include "app/JournalWriter.h"
#include "app/RecoveryFolder.h"

namespace ql {

class EditorView;

class RecoveryKeeper : public QObject, private BufferListener {
  Q_OBJECT

 public:
  // describe: the document as the journal names it, asked at each write;
  // status: where the one message about a journal that failed goes.
  RecoveryKeeper(EditorView& view, std::function<JournalDocument()> describe,
                 std::function<void(const std::string&)> status, QObject* parent = nullptr);
  ~RecoveryKeeper() override;  // what is pending reaches the disk first

  // Journals go to folder, named after owner (this instance). False when
  // the folder cannot be used; Problem() then says why, for the status bar.
  bool Enable(const std::string& folder, const std::string& owner);
  const std::string& Problem() const { return problem_; }
  bool Enabled() const { return enabled_; }
  const std::string& Folder() const { return folder_; }
  const std::string& Owner() const { return owner_; }

  // The document has unsaved changes: a journal starts if none runs.
  void Dirty();
  // Nothing unsaved any more (saved, reverted, new, discarded): the journal goes.
  void Clean();
  // What is pending goes to the writer now.
  void Flush();
  // Tests and the helper: until the writer has everything so far on the disk.
  void Wait();
  // Removes path once everything queued before is on the disk.
  void RemoveAfterWrites(const std::string& path);
  // A journal number of ours not in use yet (for a claimed journal too).
  int NewJournalNumber();

  // A big snapshot is still being handed to the writer slice by slice.
  bool Building() const { return recorder_.Building(); }
  std::string JournalPath() const { return recorder_.Active() ? path_ : std::string(); }
  static constexpr int kFlushMs = 1000;

 private:
  void TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                    Offset removedBreaks, Offset insertedBreaks) override;
  void SelectionChanged() override;
  void Schedule();
  void CheckWriter();
  void Disable(const std::string& why);

  EditorView& view_;
  std::function<JournalDocument()> describe_;
  std::function<void(const std::string&)> status_;
  JournalRecorder recorder_;
  std::unique_ptr<JournalWriter> writer_;
  InstanceLock lock_;
  QTimer timer_;
  std::string folder_, owner_, path_, problem_;
  int next_ = 1;
  bool enabled_ = false;
};

}  // namespace ql
