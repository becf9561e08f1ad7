#include "app/qt/RecoveryKeeper.h"

#include <sys/stat.h>

#include "editor/qt/EditorView.h"

namespace ql {

RecoveryKeeper::RecoveryKeeper(EditorView& view, std::function<JournalDocument()> describe,
                               std::function<void(const std::string&)> status, QObject* parent)
    : QObject(parent), view_(view), describe_(std::move(describe)), status_(std::move(status)),
      recorder_([this]() -> const MemoryBuffer& { return view_.Document(); }) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::Flush);
}

RecoveryKeeper::~RecoveryKeeper() {
  view_.RemoveDocumentListener(this);
  if (!writer_) return;
  do Flush();
  while (enabled_ && recorder_.Building());
  writer_.reset();  // finishes the queue
  // A clean end: no journal of ours left, so nothing needs our name any more.
  bool ours = false;
  for (const std::string& n : ListJournals(folder_))
    if (ParseJournalFileName(n)->owner == owner_) ours = true;
  if (!ours) lock_.Release();
}

bool RecoveryKeeper::Enable(const std::string& folder, const std::string& owner) {
  if (enabled_) return true;
  folder_ = folder;
  owner_ = owner;
  std::string error;
  if (!PrepareRecoveryFolder(folder, error) || !lock_.Acquire(folder, owner)) {
    if (error.empty()) error = folder + ": the instance lock could not be taken";
    problem_ = "Recovery journal off: " + error;
    return false;
  }
  writer_ = std::make_unique<JournalWriter>();
  view_.AddDocumentListener(this);
  enabled_ = true;
  return true;
}

int RecoveryKeeper::NewJournalNumber() {
  for (;; ++next_) {
    const std::string path = folder_ + "/" + JournalFileName(owner_, next_);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return next_++;
  }
}

void RecoveryKeeper::Dirty() {
  if (!enabled_ || recorder_.Active()) return;
  path_ = folder_ + "/" + JournalFileName(owner_, NewJournalNumber());
  recorder_.Begin(describe_());
  Schedule();
}

void RecoveryKeeper::Clean() {
  if (!enabled_ && path_.empty()) return;
  timer_.stop();
  const bool had = recorder_.Active();
  recorder_.End();
  if (had && writer_) writer_->Remove(path_);
  path_.clear();
}

void RecoveryKeeper::TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                                  Offset removedBreaks, Offset insertedBreaks) {
  if (!recorder_.Active()) return;
  recorder_.TextReplaced(pos, removedLength, insertedLength, firstLine, removedBreaks, insertedBreaks);
  Schedule();
}

void RecoveryKeeper::SelectionChanged() {
  if (!recorder_.Active()) return;
  recorder_.SelectionChanged();
  Schedule();
}

void RecoveryKeeper::Schedule() {
  if (!timer_.isActive()) timer_.start(kFlushMs);
}

void RecoveryKeeper::Flush() {
  timer_.stop();
  if (!enabled_ || !recorder_.HasPending()) return;
  recorder_.SetDocument(describe_());
  JournalRecorder::Batch batch = recorder_.Take();
  using Kind = JournalRecorder::Kind;
  using Piece = JournalWriter::Piece;
  switch (batch.kind) {
    case Kind::Append: writer_->Append(path_, std::move(batch.records)); break;
    case Kind::Replace: writer_->Replace(path_, std::move(batch.records)); break;
    case Kind::Begin: writer_->ReplacePiece(Piece::Begin, path_, std::move(batch.records)); break;
    case Kind::More: writer_->ReplacePiece(Piece::More, path_, std::move(batch.records)); break;
    case Kind::Commit: writer_->ReplacePiece(Piece::Commit, path_, std::move(batch.records)); break;
  }
  // The next slice of a big snapshot right after the events waiting now.
  if (recorder_.Building()) timer_.start(1);
  // A failure shows once the writer has come to it.
  QTimer::singleShot(kFlushMs, this, &RecoveryKeeper::CheckWriter);
}

void RecoveryKeeper::Wait() {
  do Flush();
  while (enabled_ && recorder_.Building());
  if (writer_) writer_->Wait();
  CheckWriter();
}

void RecoveryKeeper::RemoveAfterWrites(const std::string& path) {
  if (writer_) writer_->Remove(path);
}

void RecoveryKeeper::CheckWriter() {
  if (enabled_ && writer_ && writer_->Failed()) Disable(writer_->Error());
}

void RecoveryKeeper::Disable(const std::string& why) {
  enabled_ = false;
  timer_.stop();
  const bool had = recorder_.Active();
  recorder_.End();
  // Whatever part of it was written goes: the room it takes may be what a save needs.
  if (had) writer_->Remove(path_);
  path_.clear();
  if (status_) status_("Recovery journal off: " + why);
}

}  // namespace ql
