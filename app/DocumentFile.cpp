// What a file gives the editor and what a save puts back.
#include "app/DocumentFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "common/Utf8.h"
#include "editor/LineIndex.h"

namespace ql {
namespace {

// Largest single read(); the kernel caps a call near 2 GiB anyway.
constexpr std::size_t kBlock = std::size_t(16) << 20;

const char* BreakOf(LineEnd style) {
  switch (style) {
    case LineEnd::CrLf: return "\r\n";
    case LineEnd::Cr: return "\r";
    case LineEnd::Lf: break;
  }
  return "\n";
}

// Walks the line breaks (CR LF, lone CR, lone LF) of a byte range. The next
// CR and the next LF are found with memchr and remembered, so a file with
// only one kind of break is searched once for the other and never again.
class BreakScanner {
 public:
  BreakScanner(const char* data, std::size_t size) : data_(data), size_(size) {}

  // The next break: where it starts, its length (1 or 2) and its kind.
  bool Next(std::size_t& at, std::size_t& length, LineEnd& kind) {
    if (nextCr_ == kUnknown || nextCr_ < pos_) nextCr_ = Find('\r');
    if (nextLf_ == kUnknown || nextLf_ < pos_) nextLf_ = Find('\n');
    at = std::min(nextCr_, nextLf_);
    if (at >= size_) {
      pos_ = size_;
      return false;
    }
    if (data_[at] == '\n') {
      kind = LineEnd::Lf;
      length = 1;
    } else if (at + 1 < size_ && data_[at + 1] == '\n') {
      kind = LineEnd::CrLf;
      length = 2;
    } else {
      kind = LineEnd::Cr;
      length = 1;
    }
    pos_ = at + length;
    return true;
  }

 private:
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

  std::size_t Find(char c) const {
    const void* hit = std::memchr(data_ + pos_, c, size_ - pos_);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data_) : size_;
  }

  const char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::size_t nextCr_ = kUnknown;
  std::size_t nextLf_ = kUnknown;
};

// ---- low-level file helpers; each keeps errno of the failing call ----

// A big buffer asks for huge pages before its first touch: filling 100 MiB
// of fresh 4 KiB pages costs tens of thousands of faults, most of a read.
void AdviseHugePages(std::string& buffer) {
  constexpr std::size_t kWorthIt = std::size_t(8) << 20;
  if (buffer.capacity() < kWorthIt) return;
  const long page = ::sysconf(_SC_PAGESIZE);
  if (page <= 0) return;
  const auto first = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t from = (first + static_cast<std::uintptr_t>(page) - 1) & ~(static_cast<std::uintptr_t>(page) - 1);
  const std::uintptr_t to = (first + buffer.capacity()) & ~(static_cast<std::uintptr_t>(page) - 1);
  // Only advice: without transparent huge pages it changes nothing.
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

bool ReadAll(int fd, std::int64_t sizeHint, std::size_t slack, std::string& out) {
  // Most files are exactly as long as stat said: read into that at once,
  // then keep reading in case the file grew meanwhile.
  const std::size_t size = sizeHint > 0 ? static_cast<std::size_t>(sizeHint) : 0;
  out.clear();
  out.reserve(size + slack);
  AdviseHugePages(out);
  out.resize(size);
  std::size_t pos = 0;
  while (pos < out.size()) {
    const ssize_t n = ::read(fd, &out[pos], std::min(out.size() - pos, kBlock));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {  // shrank
      out.resize(pos);
      return true;
    }
    pos += static_cast<std::size_t>(n);
  }
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(chunk.data(), static_cast<std::size_t>(n));
  }
}

// Where the text ends: at the first byte 0 or 26 (Ctrl+Z ends text reading;
// the edit control stops at a zero byte). Marks doc as cut there.
std::size_t TextEnd(const char* data, std::size_t n, LoadedDocument& doc) {
  std::size_t keep = n;
  if (const void* zero = std::memchr(data, 0, keep))
    keep = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
  if (const void* eof = std::memchr(data, 26, keep))
    keep = static_cast<std::size_t>(static_cast<const char*>(eof) - data);
  if (keep < n) {
    doc.cut = true;
    doc.cutByte = data[keep];
  }
  return keep;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

// ---- reading ----

LoadedDocument DecodeDocument(const std::string& bytes) { return DecodeDocument(std::string(bytes)); }

LoadedDocument DecodeDocument(std::string&& bytes) {
  LoadedDocument doc;
  doc.status = LoadedDocument::Ok;
  doc.fileSize = static_cast<std::int64_t>(bytes.size());
  const char* data = bytes.data();
  const std::size_t keep = TextEnd(data, bytes.size(), doc);

  // CR LF breaks are copied as they are, in runs; only lone CRs and LFs
  // break a run. Text with none of those is taken as it is, uncopied.
  BreakScanner scan(data, keep);
  std::size_t at = 0, length = 0, copied = 0;
  LineEnd kind = LineEnd::Lf;
  bool first = true, copying = false;
  while (scan.Next(at, length, kind)) {
    if (first) {
      first = false;
      doc.style = kind;
    } else if (kind != doc.style) {
      doc.mixed = true;
    }
    if (kind == LineEnd::CrLf) continue;
    if (!copying) {
      copying = true;
      doc.text.reserve(keep + keep / 8 + 16);
    }
    doc.text.append(data + copied, at - copied);
    doc.text += "\r\n";
    copied = at + length;
  }
  if (copying) {
    doc.text.append(data + copied, keep - copied);
  } else {
    bytes.resize(keep);
    doc.text = std::move(bytes);
  }
  return doc;
}

FileEncoding TakeEncoding(std::string& bytes, EncodingChoice choice, std::string& note) {
  note.clear();
  if (choice == EncodingChoice::Bytes) return {};
  const Utf8Scan scan = Utf8ToCp1252InPlace(bytes);
  switch (scan.result) {
    case Utf8Scan::Converted:
      return {TextEncoding::Utf8, scan.bom};
    case Utf8Scan::Plain:
      // The same bytes either way; 8-bit unless UTF-8 was asked for.
      if (choice == EncodingChoice::Utf8) return {TextEncoding::Utf8, false};
      return {};
    default:
      note = Utf8ScanReason(scan);
      return {};
  }
}

LoadedDocument DecodeDocument(std::string bytes, EncodingChoice choice) {
  // The size of the file as read, before a conversion shortens the bytes.
  const std::int64_t size = static_cast<std::int64_t>(bytes.size());
  std::string note;
  const FileEncoding encoding = TakeEncoding(bytes, choice, note);
  LoadedDocument doc = DecodeDocument(std::move(bytes));
  doc.fileSize = size;
  doc.encoding = encoding;
  doc.encodingNote = note;
  return doc;
}

namespace {

// Cut, line-end style and mixing of bytes as read; the text keeps the
// file's own breaks (the document model turns them into CR LF in place).
void ScanDocument(std::string&& bytes, LoadedDocument& doc) {
  doc.status = LoadedDocument::Ok;
  doc.fileSize = static_cast<std::int64_t>(bytes.size());
  const char* data = bytes.data();
  const std::size_t keep = TextEnd(data, bytes.size(), doc);
  // The style from the first break; the counts of CR and LF tell mixing
  // once the document model has counted the breaks (no stop at each one).
  const char* cr = static_cast<const char*>(std::memchr(data, '\r', keep));
  const char* lf = static_cast<const char*>(std::memchr(data, '\n', keep));
  if (cr && (!lf || cr < lf))
    doc.style = (cr + 1 < data + keep && cr[1] == '\n') ? LineEnd::CrLf : LineEnd::Cr;
  else if (lf)
    doc.style = LineEnd::Lf;
  // One vectorised pass counts both.
  const BreakScan counts = ScanBreaks(data, keep);
  doc.crs = counts.crs;
  doc.lfs = counts.lfs;
  bytes.resize(keep);
  doc.text = std::move(bytes);
}

LoadedDocument ReadDocumentAs(const std::string& path, bool raw, std::size_t slack,
                              EncodingChoice choice) {
  LoadedDocument doc;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    const int err = errno;
    doc.status = (err == ENOENT || err == ENOTDIR || err == ELOOP || err == ENAMETOOLONG)
                     ? LoadedDocument::Missing
                     : LoadedDocument::Unreadable;
    doc.error = std::strerror(err);
    return doc;
  }
  // A FIFO or a device is never opened: either could block or never end.
  if (!S_ISREG(st.st_mode)) {
    doc.status = LoadedDocument::NotRegular;
    return doc;
  }
  doc.fileSize = static_cast<std::int64_t>(st.st_size);
  // O_NONBLOCK in case the name became a FIFO since the stat.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    doc.status = LoadedDocument::Unreadable;
    doc.error = std::strerror(errno);
    return doc;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    doc.status = S_ISREG(st.st_mode) ? LoadedDocument::Unreadable : LoadedDocument::NotRegular;
    ::close(fd);
    return doc;
  }
  // Taken before reading: a change while we read shows at the next check.
  const FileStamp stamp = FileStampOfDescriptor(fd);
  std::string bytes;
  const bool read = ReadAll(fd, static_cast<std::int64_t>(st.st_size), raw ? slack : 0, bytes);
  ::close(fd);
  if (!read) {
    doc.status = LoadedDocument::Unreadable;
    doc.error = std::strerror(errno);
    doc.fileSize = static_cast<std::int64_t>(st.st_size);
    return doc;
  }
  // Moved, and converted in place: a UTF-8 file is never held twice.
  if (raw) {
    const std::int64_t size = static_cast<std::int64_t>(bytes.size());
    std::string note;
    const FileEncoding encoding = TakeEncoding(bytes, choice, note);
    ScanDocument(std::move(bytes), doc);
    doc.fileSize = size;
    doc.encoding = encoding;
    doc.encodingNote = note;
  } else {
    doc = DecodeDocument(std::move(bytes), choice);
  }
  doc.stamp = stamp;
  return doc;
}

}  // namespace

LoadedDocument ReadDocument(const std::string& path, EncodingChoice choice) {
  return ReadDocumentAs(path, false, 0, choice);
}

bool MixedBreaks(LineEnd style, std::int64_t crs, std::int64_t lfs, std::int64_t breaks) {
  // breaks = pairs + lone CRs + lone LFs, crs = pairs + lone CRs, lfs = pairs + lone LFs.
  const std::int64_t pairs = crs + lfs - breaks;
  switch (style) {
    case LineEnd::CrLf: return crs != pairs || lfs != pairs;
    case LineEnd::Lf: return crs != 0;
    case LineEnd::Cr: return lfs != 0;
  }
  return false;
}

LoadedDocument ReadDocumentBytes(const std::string& path, EncodingChoice choice) {
  std::int64_t size = 0;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) size = static_cast<std::int64_t>(st.st_size);
  // Room for LF breaks to become CR LF in place (lines of 16 bytes or more).
  return ReadDocumentAs(path, true, static_cast<std::size_t>(size / 16) + (64 << 10), choice);
}

// ---- writing ----

std::string DocumentBytes(const std::string& text, LineEnd style) {
  const char* const brk = BreakOf(style);
  const std::size_t brkLength = std::strlen(brk);
  const char* data = text.data();
  std::string out;
  out.reserve(text.size());
  BreakScanner scan(data, text.size());
  std::size_t at = 0, length = 0, copied = 0;
  LineEnd kind = LineEnd::Lf;
  while (scan.Next(at, length, kind)) {
    if (kind == style) continue;  // already written as the file wants it
    out.append(data + copied, at - copied);
    out.append(brk, brkLength);
    copied = at + length;
  }
  out.append(data + copied, text.size() - copied);
  return out;
}

std::int64_t LengthInStyle(const std::string& text, LineEnd style) {
  const std::int64_t brkLength = style == LineEnd::CrLf ? 2 : 1;
  std::int64_t total = static_cast<std::int64_t>(text.size());
  BreakScanner scan(text.data(), text.size());
  std::size_t at = 0, length = 0;
  LineEnd kind = LineEnd::Lf;
  while (scan.Next(at, length, kind)) total += brkLength - static_cast<std::int64_t>(length);
  return total;
}

std::string FileBytes(const std::string& text, LineEnd style, const FileEncoding& encoding) {
  if (encoding.kind != TextEncoding::Utf8) return DocumentBytes(text, style);
  // CR LF files need no second pass over the breaks.
  if (style == LineEnd::CrLf) return Cp1252ToUtf8(text, encoding.bom);
  return Cp1252ToUtf8(DocumentBytes(text, style), encoding.bom);
}

std::int64_t LengthInFile(const std::string& text, LineEnd style, const FileEncoding& encoding) {
  std::int64_t length = LengthInStyle(text, style);
  if (encoding.kind == TextEncoding::Utf8) length += Utf8ExtraBytes(text) + (encoding.bom ? 3 : 0);
  return length;
}

std::string EncodingName(const FileEncoding& encoding) {
  if (encoding.kind == TextEncoding::Bytes) return "8-bit bytes";
  return encoding.bom ? "UTF-8 with byte-order mark" : "UTF-8";
}

std::string OpenedEncodingNote(const LoadedDocument& doc, EncodingChoice choice) {
  if (doc.encoding.kind == TextEncoding::Utf8) return EncodingName(doc.encoding);
  if (!doc.encodingNote.empty()) return "8-bit bytes: " + doc.encodingNote;
  // Plain ASCII reads the same either way: nothing to say unless asked.
  return choice == EncodingChoice::Bytes ? "8-bit bytes" : "";
}

std::string BinaryText(const std::string& bytes) {
  std::string out = bytes;
  for (char* p = &out[0], *end = p + out.size(); p < end; ++p) {
    p = static_cast<char*>(std::memchr(p, 0, static_cast<std::size_t>(end - p)));
    if (!p) break;
    *p = 11;
  }
  return out;
}

// ---- document tests ----

bool HasNfoCharacters(const std::string& text) {
  int count = 0;
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    const bool nfo = (c >= 176 && c <= 180) || (c >= 192 && c <= 197) || (c >= 217 && c <= 222) || c == 254;
    if (nfo && ++count == 10) return true;
  }
  return false;
}

bool IsLogDocument(const std::string& text) {
  static const std::string kLog = ".LOG";
  if (text.compare(0, kLog.size(), kLog) != 0) return false;
  return text.size() == kLog.size() || text.compare(kLog.size(), 2, "\r\n") == 0;
}

bool HasIllegalNameCharacter(const std::string& arg) {
  return arg.find_first_of("\"*/:<>?\\|") != std::string::npos;
}

// ---- message boxes ----

MessageBoxText FileErrorText(int code, const std::string& name, const std::string& docFileName) {
  MessageBoxText box;
  switch (code) {
    case 0:
      box = {"No text!", "There is no text to perform the function at!", 48};
      break;
    case 1:
      box = {"File doesn't exist!", "The file doesn't exist!\n" + Quoted(name), 16};
      break;
    case 2:
      box = {"Couldn't rename!",
             "The file:\n" + Quoted(docFileName) + "\nCould not be renamed to:\n" + Quoted(name) +
                 "\nbecause a file by that name already exist!",
             16};
      break;
    case 3:
      box = {"File doesn't exist!",
             "The following file, specified at the CommandLine, doesn't exist:\n" + Quoted(name) +
                 "\n\nDo you wish to create the file?",
             20};
      break;
    case 4:
      box = {"File is readonly!",
             "The following file is readonly:\n" + Quoted(name) + "\n\nDo you want to save it somewhere else?",
             52};
      break;
    case 5:
      box = {"Couldn't delete!", "Couldn't delete the following file, it's readonly:\n" + Quoted(name), 16};
      break;
    case 6:
      box = {"Couldn't revert!", "Couldn't find the file to revert!\n" + Quoted(docFileName), 16};
      break;
    default:
      break;
  }
  return box;
}

MessageBoxText LengthPromptText(std::int64_t textLength, std::int64_t fileSize) {
  static const char* const kLines[] = {
      "",
      "The length of the file (number of bytes) differs from the filesize,",
      "this could mean that the file contents one or more null terminating",
      "characters #0. A null terminating char simply terminates all",
      "characters beyond it, making all the text after it unreadable!",
      "By pressing yes, all the null terminating characters in the file",
      "is replaced by the character #11.",
      "",
      "It could also mean that the file is an Amiga or Unix file",
      "with the character #13 (Carrage Return) as line change insteed",
      "of #13#10 as the PC has!",
      "",
      "Do you want to read the file as a binary file?",
  };
  MessageBoxText box;
  box.caption = "Length Nonequal To Filesize";
  box.flags = 52;
  box.text = std::to_string(textLength) + " characters in text.\n" + std::to_string(fileSize) + " bytes in file.";
  for (const char* line : kLines) box.text += std::string("\n") + line;
  return box;
}

MessageBoxText RefusedCharacterText(char32_t ch, bool fromClipboard) {
  return {"Character not in Windows-1252!",
          "The character " + DescribeCharacter(ch) +
              " cannot be held by this document.\n\nIts file is UTF-8, but the editor holds only the "
              "characters of Windows-1252; a character it cannot hold would be lost on saving.\n\n" +
              (fromClipboard ? "Nothing was pasted; the clipboard is unchanged." : "Nothing was inserted."),
          48};
}

MessageBoxText ChangedOnDiskText(const std::string& path) {
  return {"File changed on disk!",
          "The following file was changed by another program since it was opened or saved:\n" + Quoted(path) +
              "\n\nDo you want to overwrite it?",
          52};
}

MessageBoxText ReloadQuestionText(const std::string& path, bool modified) {
  const std::string text = "The following file was changed by another program:\n" + Quoted(path) + "\n\n";
  if (modified) return {"File changed on disk!", text + "Do you want to reload it and lose your changes?", 52};
  return {"File changed on disk!", text + "Do you want to reload it?", 36};
}

MessageBoxText DeletedOnDiskText(const std::string& path) {
  return {"File deleted on disk!",
          "The following file was deleted or moved by another program:\n" + Quoted(path) +
              "\n\nThe text is kept; save it with Save As.",
          48};
}

MessageBoxText InterruptedSaveText(const std::string& path, const std::vector<std::string>& copies) {
  std::string text = "A save of the following file was interrupted:\n" + Quoted(path) + "\n\n" +
                     (copies.size() == 1 ? "The copy it left behind:" : "The copies it left behind:");
  for (const std::string& copy : copies) text += "\n" + Quoted(copy);
  text += copies.size() == 1 ? "\n\nCompare it with the file; the next save of the file removes it."
                             : "\n\nCompare them with the file; the next save of the file removes them.";
  return {"Interrupted save!", text, 48};
}

}  // namespace ql
