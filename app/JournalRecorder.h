// Keeps the edits of an unsaved document in memory, as records for its
// recovery journal. Hearing an edit costs a few bytes copied: the journal
// is written from a timer (Take) by the JournalWriter, never on the
// keystroke's path.
//
// Take hands over a snapshot (the whole text, replacing the journal) when
// the journal starts, after an edit that brings most of the text at once
// (a whole-text tool: cheaper than its edit record) and when the journal
// has grown past a few times the text; otherwise the edits since the last
// Take, typing at one place merged into one record.
//
// A big text's snapshot is copied a slice per Take, so the window's thread
// never copies more than a few megabytes at once. Edits meanwhile that
// touch the part already handed over become edit records of the new
// journal; the rest is in the slices still to come. The old journal stays
// whole until the new one is committed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/RecoveryJournal.h"
#include "editor/MemoryBuffer.h"

namespace ql {

class JournalRecorder : public BufferListener {
 public:
  // document: the model the edits happen in, asked at each call (the view
  // may swap it for a new one).
  explicit JournalRecorder(std::function<const MemoryBuffer&()> document);

  bool Active() const { return active_; }
  // Starts a journal: the next Take is a snapshot.
  void Begin(const JournalDocument& doc);
  // Stops; nothing pending is kept.
  void End();
  // The document's name, file or format changed: the next Take says so.
  void SetDocument(const JournalDocument& doc);
  const JournalDocument& Document() const { return doc_; }

  void TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                    Offset removedBreaks, Offset insertedBreaks) override;
  void SelectionChanged() override;

  bool HasPending() const {
    return active_ && (snapshot_ || building_ || docChanged_ || caretDirty_ || !edits_.empty());
  }

  enum class Kind { Append, Replace, Begin, More, Commit };
  struct Batch {
    Kind kind = Kind::Append;  // Replace: the records are the whole journal
    std::vector<JournalRecord> records;
  };
  Batch Take();
  // A snapshot is being handed over in slices: Take again soon.
  bool Building() const { return active_ && building_; }
  static constexpr Offset kSlice = Offset(4) << 20;

  // Journal bytes once the batches taken so far are written.
  std::uint64_t JournalBytes() const { return journalBytes_; }
  // Above this the journal is replaced by a snapshot.
  static std::uint64_t SnapshotLimit(std::uint64_t textLength);

 private:
  struct Pending {
    Offset pos, removed;
    std::string inserted;
  };
  static std::int64_t NowMs();

  std::function<const MemoryBuffer&()> document_;
  bool active_ = false;
  bool snapshot_ = false;
  bool building_ = false;
  Offset copied_ = 0;  // of a snapshot in slices: the text handed over so far
  bool docChanged_ = false;
  bool caretDirty_ = false;
  JournalDocument doc_;
  std::vector<Pending> edits_;
  std::uint64_t pendingBytes_ = 0;
  std::uint64_t journalBytes_ = 0;
  std::int64_t changedMs_ = 0;
};

}  // namespace ql
