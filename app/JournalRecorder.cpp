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
  building_ = false;
  docChanged_ = caretDirty_ = false;
  edits_.clear();
  pendingBytes_ = journalBytes_ = 0;
  changedMs_ = NowMs();
}

void JournalRecorder::End() {
  active_ = snapshot_ = building_ = docChanged_ = caretDirty_ = false;
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
    building_ = false;
    edits_.clear();
    pendingBytes_ = 0;
    return;
  }
  if (building_) {
    // Only the part of the text already handed over needs an edit record.
    if (pos >= copied_) return;
    if (pos + removedLength > copied_) {
      removedLength = copied_ - pos;
      copied_ = pos + insertedLength;
    } else {
      copied_ += insertedLength - removedLength;
    }
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
  if (!building_ &&
      journalBytes_ + pendingBytes_ > SnapshotLimit(static_cast<std::uint64_t>(doc.TextLength()))) {
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
  const Offset length = doc.TextLength();
  if (snapshot_) {
    // A new journal: its document and the first slice of the text.
    snapshot_ = false;
    building_ = true;
    edits_.clear();
    copied_ = std::min(length, kSlice);
    batch.kind = Kind::Begin;
    batch.records.push_back(DocumentRecord(doc_));
    std::string text;
    text.reserve(static_cast<std::size_t>(copied_));
    doc.AppendRange(0, copied_, text);
    batch.records.push_back(TextRecord(std::move(text)));
    journalBytes_ = sizeof kJournalMagic;
  } else {
    if (docChanged_) batch.records.push_back(DocumentRecord(doc_));
    for (Pending& e : edits_) batch.records.push_back(EditRecord(e.pos, e.removed, std::move(e.inserted)));
    if (building_) {
      batch.kind = Kind::More;
      const Offset slice = std::min(length - copied_, kSlice);
      std::string text;
      text.reserve(static_cast<std::size_t>(slice));
      doc.AppendRange(copied_, slice, text);
      copied_ += slice;
      batch.records.push_back(MoreTextRecord(std::move(text)));
    }
  }
  if (building_ && copied_ >= length) {
    building_ = false;
    batch.kind = batch.kind == Kind::Begin ? Kind::Replace : Kind::Commit;
  }
  // The caret only in a whole journal: a slice may not reach it yet.
  if (!building_) batch.records.push_back(CaretRecord(doc.Anchor(), doc.CaretOffset(), changedMs_));
  for (const JournalRecord& r : batch.records) journalBytes_ += FramedSize(r);
  docChanged_ = false;
  caretDirty_ = building_ && caretDirty_;
  edits_.clear();
  pendingBytes_ = 0;
  return batch;
}

}  // namespace ql
