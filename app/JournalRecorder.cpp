#include "app/JournalRecorder.h"

#include <algorithm>
#include <chrono>

namespace ql {

namespace {
// An edit bringing at least this much, and half the text or more, is taken
// as a snapshot instead.
constexpr Offset kBigEdit = 1 << 20;
}  // namespace

JournalRecorder::JournalRecorder(std::function<const MemoryBuffer&()> document)
    : document_(std::move(document)) {}

std::int64_t JournalRecorder::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::uint64_t JournalRecorder::SnapshotLimit(std::uint64_t textLength) {
  return std::max<std::uint64_t>(4 * textLength, 256 * 1024);
}

void JournalRecorder::Begin(const JournalDocument& doc) {
  doc_ = doc;
  active_ = true;
  snapshot_ = true;
  docChanged_ = caretDirty_ = false;
  edits_.clear();
  pendingBytes_ = journalBytes_ = 0;
  changedMs_ = NowMs();
}

void JournalRecorder::End() {
  active_ = snapshot_ = docChanged_ = caretDirty_ = false;
  edits_.clear();
  edits_.shrink_to_fit();
  pendingBytes_ = journalBytes_ = 0;
}

void JournalRecorder::SetDocument(const JournalDocument& doc) {
  const bool same = doc.path == doc_.path && doc.stamp == doc_.stamp && doc.lineEnd == doc_.lineEnd &&
                    doc.encoding == doc_.encoding;
  if (same) return;
  const std::int64_t created = doc_.createdMs;
  doc_ = doc;
  doc_.createdMs = created;
  docChanged_ = active_;
}

void JournalRecorder::TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset,
                                   Offset, Offset) {
  if (!active_) return;
  changedMs_ = NowMs();
  caretDirty_ = true;
  if (snapshot_) return;  // the snapshot taken at the next Take holds it
  const MemoryBuffer& doc = document_();
  if (insertedLength >= kBigEdit && 2 * insertedLength >= doc.TextLength()) {
    snapshot_ = true;
    edits_.clear();
    pendingBytes_ = 0;
    return;
  }
  // Typing at one place: the record before grows.
  if (removedLength == 0 && !edits_.empty()) {
    Pending& last = edits_.back();
    if (last.pos + static_cast<Offset>(last.inserted.size()) == pos && last.inserted.size() < 4096) {
      last.inserted += doc.TextRange(pos, insertedLength);
      pendingBytes_ += static_cast<std::uint64_t>(insertedLength);
      return;
    }
  }
  edits_.push_back(Pending{pos, removedLength, doc.TextRange(pos, insertedLength)});
  pendingBytes_ += 8 + 1 + 16 + 4 + static_cast<std::uint64_t>(insertedLength);
  if (journalBytes_ + pendingBytes_ > SnapshotLimit(static_cast<std::uint64_t>(doc.TextLength()))) {
    snapshot_ = true;
    edits_.clear();
    pendingBytes_ = 0;
  }
}

void JournalRecorder::SelectionChanged() {
  if (active_) caretDirty_ = true;
}

JournalRecorder::Batch JournalRecorder::Take() {
  Batch batch;
  if (!HasPending()) return batch;
  const MemoryBuffer& doc = document_();
  if (snapshot_) {
    batch.replace = true;
    batch.records.push_back(DocumentRecord(doc_));
    // The one copy the window's thread makes of a big text: fresh huge pages
    // fault in far fewer times than 4 KiB ones.
    std::string text;
    text.reserve(static_cast<std::size_t>(doc.TextLength()));
    AdviseHugePages(text);
    doc.AppendRange(0, doc.TextLength(), text);
    batch.records.push_back(TextRecord(std::move(text)));
    journalBytes_ = sizeof kJournalMagic;
  } else {
    if (docChanged_) batch.records.push_back(DocumentRecord(doc_));
    for (Pending& e : edits_) batch.records.push_back(EditRecord(e.pos, e.removed, std::move(e.inserted)));
  }
  batch.records.push_back(CaretRecord(doc.Anchor(), doc.CaretOffset(), changedMs_));
  for (const JournalRecord& r : batch.records) journalBytes_ += FramedSize(r);
  snapshot_ = docChanged_ = caretDirty_ = false;
  edits_.clear();
  pendingBytes_ = 0;
  return batch;
}

}  // namespace ql
