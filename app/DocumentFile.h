// Reading and writing the document's file: the rules that decide what the
// editor gets from a file and what a save puts back, without the window.
// Text is 8-bit; the document keeps CR LF breaks, the file keeps its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/FileStamp.h"
#include "app/SafeSave.h"
#include "editor/EditorBuffer.h"

namespace ql {

// How the file breaks its lines, taken from its first line break.
enum class LineEnd { CrLf, Lf, Cr };

// How the file holds its characters: 8-bit bytes (the document's own
// Windows-1252 codes) or UTF-8, read and written back losslessly.
enum class TextEncoding { Bytes, Utf8 };
struct FileEncoding {
  TextEncoding kind = TextEncoding::Bytes;
  bool bom = false;  // UTF-8 with a byte-order mark
  bool operator==(const FileEncoding& o) const { return kind == o.kind && bom == o.bom; }
  bool operator!=(const FileEncoding& o) const { return !(*this == o); }
};
// What an open asks for: UTF-8 where that loses nothing (Detect), always
// the raw bytes, or UTF-8 also for a file of plain ASCII.
enum class EncodingChoice { Detect, Bytes, Utf8 };

struct LoadedDocument {
  enum Status { Ok, Missing, NotRegular, Unreadable };
  Status status = Missing;
  std::string text;            // CR LF breaks; ends before the first byte 0 or 26
  LineEnd style = LineEnd::Lf; // LF when the file has no line break
  bool mixed = false;          // other breaks than the first style occur (before the cut)
  std::int64_t fileSize = 0;   // bytes on disk (0 when missing or not a regular file)
  bool cut = false;            // a byte 0 or 26 ended the text before the end of the file
  char cutByte = 0;            // which one
  std::string error;           // the system's error text when Unreadable
  FileEncoding encoding;       // text holds the characters of the file in this encoding
  std::string encodingNote;    // why a file with bytes above 127 stayed 8-bit ("" otherwise)
  FileStamp stamp;             // the file as it was read
  std::int64_t crs = -1, lfs = -1;  // ReadDocumentBytes: CR and LF bytes in text
};

// Reads a regular file; never blocks on FIFOs or devices (they are NotRegular).
LoadedDocument ReadDocument(const std::string& path, EncodingChoice choice = EncodingChoice::Detect);
// The same, but text keeps the file's own line breaks (no second copy of a
// big file): for MemoryBuffer::Load, which makes them CR LF in place.
// mixed is left false; MixedBreaks tells it once the breaks are counted.
LoadedDocument ReadDocumentBytes(const std::string& path, EncodingChoice choice = EncodingChoice::Detect);
bool MixedBreaks(LineEnd style, std::int64_t crs, std::int64_t lfs, std::int64_t breaks);
// The same rules over bytes already read (8-bit, no UTF-8 detection).
LoadedDocument DecodeDocument(const std::string& bytes);
LoadedDocument DecodeDocument(std::string&& bytes);  // takes the bytes, copies only to mend breaks
LoadedDocument DecodeDocument(std::string bytes, EncodingChoice choice);
// Decides the encoding of bytes just read and, for UTF-8, turns them into
// the document's 8-bit text in place; note says why bytes stayed 8-bit.
FileEncoding TakeEncoding(std::string& bytes, EncodingChoice choice, std::string& note);

// The document text as the file gets it: CR LF breaks turned into the style.
std::string DocumentBytes(const std::string& text, LineEnd style);
// The text's length once written in the style.
std::int64_t LengthInStyle(const std::string& text, LineEnd style);
// What a save writes: the style's breaks, in the file's encoding.
std::string FileBytes(const std::string& text, LineEnd style, const FileEncoding& encoding);
// The length of that, without making it.
std::int64_t LengthInFile(const std::string& text, LineEnd style, const FileEncoding& encoding);
// For the status bar: "UTF-8", "UTF-8 with byte-order mark", "8-bit bytes".
std::string EncodingName(const FileEncoding& encoding);
// What the status bar says about the encoding of a file just read: its
// name, or why it stayed 8-bit; empty for plain ASCII read as detected.
std::string OpenedEncodingNote(const LoadedDocument& doc, EncodingChoice choice);

// The whole file with every byte 0 made byte 11 ("read as binary").
std::string BinaryText(const std::string& bytes);

// At least 10 characters of the NFO set (176-180, 192-197, 217-222, 254).
bool HasNfoCharacters(const std::string& text);
// The first line is exactly ".LOG".
bool IsLogDocument(const std::string& text);
// Characters a name typed on the command line must not hold to be created.
bool HasIllegalNameCharacter(const std::string& arg);

struct MessageBoxText {
  std::string caption;
  std::string text;  // lines separated by "\n"
  unsigned flags = 0;
};
// The file-error boxes 0..6; docFileName is the current document.
MessageBoxText FileErrorText(int code, const std::string& name, const std::string& docFileName);
// The question when the text's length differs from the file size.
MessageBoxText LengthPromptText(std::int64_t textLength, std::int64_t fileSize);

// A character Windows-1252 lacks typed or pasted into a UTF-8 document.
MessageBoxText RefusedCharacterText(char32_t ch, bool fromClipboard);

// Another program changed the file since it was read or saved: overwrite it?
MessageBoxText ChangedOnDiskText(const std::string& path);
// The same noticed when the window becomes active: reload it? A modified
// document is told that its changes go.
MessageBoxText ReloadQuestionText(const std::string& path, bool modified);
// The file was deleted or moved away meanwhile.
MessageBoxText DeletedOnDiskText(const std::string& path);
// Copies an interrupted save of the file left behind.
MessageBoxText InterruptedSaveText(const std::string& path, const std::vector<std::string>& copies);

}  // namespace ql
