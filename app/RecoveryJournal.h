// The recovery journal of an unsaved document: what it is (path or Untitled,
// the file as it was read, line ends, encoding) and its text as a snapshot
// followed by the edits since, so that a crash, a kill or a power cut loses
// at most the last second or two of typing.
//
// File: 8 magic bytes, then records. A record is a little-endian u64 length
// of its body, the body (a type byte and its payload) and a CRC-32 over the
// length and the body. The reader stops at the first record that is cut
// short or fails its check and keeps everything before it.
//
//   'D' document  version, time created, file stamp, line ends, encoding, path
//   'T' text      the whole text (CR LF breaks); edits that follow apply to it
//   'A' more text appended to it (a big snapshot is written in slices)
//   'E' edit      pos, removed length, inserted bytes
//   'C' caret     anchor, caret, time of the last change
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/DocumentFile.h"
#include "app/FileStamp.h"

namespace ql {

constexpr char kJournalMagic[8] = {'Q', 'L', 'J', 'R', 'N', 'L', '\r', '\n'};
constexpr std::uint32_t kJournalVersion = 1;

struct JournalDocument {
  std::string path;  // empty for Untitled
  FileStamp stamp;   // the file as last read or saved
  LineEnd lineEnd = LineEnd::Lf;
  FileEncoding encoding;
  std::int64_t createdMs = 0;  // wall clock, ms since 1970
};

// One record before framing. A big text goes in `body` so it can be moved
// in and written without a second copy; the payload is head + body.
struct JournalRecord {
  char type = 0;
  std::string head;
  std::string body;
};

JournalRecord DocumentRecord(const JournalDocument& doc);
JournalRecord TextRecord(std::string text);
JournalRecord MoreTextRecord(std::string text);
JournalRecord EditRecord(std::int64_t pos, std::int64_t removed, std::string inserted);
JournalRecord CaretRecord(std::int64_t anchor, std::int64_t caret, std::int64_t changedMs);

// Bytes of a framed record, without writing it.
std::uint64_t FramedSize(const JournalRecord& r);
// The record framed into one string (tests and small records).
std::string FrameRecord(const JournalRecord& r);
// The frame around a record: its length in front, its check behind.
std::string FrameHead(const JournalRecord& r);
std::string FrameTail(const JournalRecord& r);

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// What a journal gives back.
struct JournalContents {
  bool usable = false;       // magic, a document record and a text were read
  bool complete = false;     // every byte up to the end was whole records
  JournalDocument document;  // the last document record
  std::string text;
  std::int64_t anchor = 0, caret = 0;  // clamped to the text
  std::int64_t changedMs = 0;          // last change known (0: none)
  std::int64_t records = 0;            // whole records read
  std::uint64_t goodBytes = 0;         // where the whole records end
  std::string problem;                 // why reading stopped early
};

JournalContents ReadJournal(std::string_view bytes);
// Reads the file (no symbolic links); an unreadable file is not usable.
JournalContents ReadJournalFile(const std::string& path);

}  // namespace ql
