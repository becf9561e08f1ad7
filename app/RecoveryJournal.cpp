#include "app/RecoveryJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "editor/GapBuffer.h"

namespace ql {

namespace {

// Slice-by-8 tables for the reflected polynomial 0xEDB88320: the snapshot
// of a big document is checked at memory speed on the writer's thread.
const std::array<std::array<std::uint32_t, 256>, 8>& CrcTables() {
  static const auto tables = [] {
    std::array<std::array<std::uint32_t, 256>, 8> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
      for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
  }();
  return tables;
}

void PutU64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Reads little-endian fields from a payload; any read past its end fails.
class Fields {
 public:
  explicit Fields(std::string_view s) : s_(s) {}
  bool U64(std::uint64_t& v) {
    if (s_.size() - at_ < 8) return false;
    v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s_[at_ + i]);
    at_ += 8;
    return true;
  }
  bool I64(std::int64_t& v) {
    std::uint64_t u;
    if (!U64(u)) return false;
    v = static_cast<std::int64_t>(u);
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (s_.size() - at_ < 4) return false;
    v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s_[at_ + i]);
    at_ += 4;
    return true;
  }
  bool U8(std::uint8_t& v) {
    if (at_ >= s_.size()) return false;
    v = static_cast<unsigned char>(s_[at_++]);
    return true;
  }
  std::string_view Rest() const { return s_.substr(at_); }

 private:
  std::string_view s_;
  std::size_t at_ = 0;
};

std::string LengthField(const JournalRecord& r) {
  std::string out;
  PutU64(out, 1 + r.head.size() + r.body.size());
  return out;
}

bool ParseDocument(std::string_view payload, JournalDocument& doc) {
  Fields f(payload);
  std::uint32_t version = 0, pathLength = 0;
  std::uint8_t exists = 0, lineEnd = 0, kind = 0, bom = 0;
  std::uint64_t device = 0, inode = 0;
  std::int64_t created = 0, mtime = 0, size = 0;
  if (!f.U32(version) || version != kJournalVersion || !f.I64(created) || !f.U8(exists) ||
      !f.U64(device) || !f.U64(inode) || !f.I64(mtime) || !f.I64(size) || !f.U8(lineEnd) ||
      !f.U8(kind) || !f.U8(bom) || !f.U32(pathLength))
    return false;
  if (exists > 1 || lineEnd > 2 || kind > 1 || bom > 1 || f.Rest().size() != pathLength) return false;
  const std::string_view path = f.Rest();
  if (path.find('\0') != std::string_view::npos) return false;
  doc.createdMs = created;
  doc.stamp = {};
  if (exists) doc.stamp = FileStamp{true, device, inode, mtime, size};
  doc.lineEnd = static_cast<LineEnd>(lineEnd);
  doc.encoding = FileEncoding{static_cast<TextEncoding>(kind), bom == 1};
  doc.path.assign(path.data(), path.size());
  return true;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  const auto& t = CrcTables();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  crc = ~crc;
  while (n >= 8) {
    const std::uint32_t lo = crc ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                    std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
    crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
          t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    p += 8;
    n -= 8;
  }
  while (n--) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

JournalRecord DocumentRecord(const JournalDocument& doc) {
  JournalRecord r;
  r.type = 'D';
  PutU32(r.head, kJournalVersion);
  PutU64(r.head, static_cast<std::uint64_t>(doc.createdMs));
  r.head.push_back(doc.stamp.exists ? 1 : 0);
  PutU64(r.head, doc.stamp.device);
  PutU64(r.head, doc.stamp.inode);
  PutU64(r.head, static_cast<std::uint64_t>(doc.stamp.mtimeNs));
  PutU64(r.head, static_cast<std::uint64_t>(doc.stamp.size));
  r.head.push_back(static_cast<char>(doc.lineEnd));
  r.head.push_back(static_cast<char>(doc.encoding.kind));
  r.head.push_back(doc.encoding.bom ? 1 : 0);
  PutU32(r.head, static_cast<std::uint32_t>(doc.path.size()));
  r.body = doc.path;
  return r;
}

JournalRecord TextRecord(std::string text) {
  JournalRecord r;
  r.type = 'T';
  r.body = std::move(text);
  return r;
}

JournalRecord MoreTextRecord(std::string text) {
  JournalRecord r;
  r.type = 'A';
  r.body = std::move(text);
  return r;
}

JournalRecord EditRecord(std::int64_t pos, std::int64_t removed, std::string inserted) {
  JournalRecord r;
  r.type = 'E';
  PutU64(r.head, static_cast<std::uint64_t>(pos));
  PutU64(r.head, static_cast<std::uint64_t>(removed));
  r.body = std::move(inserted);
  return r;
}

JournalRecord CaretRecord(std::int64_t anchor, std::int64_t caret, std::int64_t changedMs) {
  JournalRecord r;
  r.type = 'C';
  PutU64(r.head, static_cast<std::uint64_t>(anchor));
  PutU64(r.head, static_cast<std::uint64_t>(caret));
  PutU64(r.head, static_cast<std::uint64_t>(changedMs));
  return r;
}

std::uint64_t FramedSize(const JournalRecord& r) { return 8 + 1 + r.head.size() + r.body.size() + 4; }

std::string FrameHead(const JournalRecord& r) {
  std::string out = LengthField(r);
  out.push_back(r.type);
  out += r.head;
  return out;
}

std::string FrameTail(const JournalRecord& r) {
  std::uint32_t crc = Crc32(FrameHead(r));
  crc = Crc32(r.body, crc);
  std::string out;
  PutU32(out, crc);
  return out;
}

std::string FrameRecord(const JournalRecord& r) { return FrameHead(r) + r.body + FrameTail(r); }

JournalContents ReadJournal(std::string_view bytes) {
  JournalContents out;
  if (bytes.size() < sizeof kJournalMagic || std::memcmp(bytes.data(), kJournalMagic, sizeof kJournalMagic) != 0) {
    out.problem = "not a recovery journal";
    return out;
  }
  bool haveDocument = false, haveText = false;
  GapBuffer text;
  std::size_t at = sizeof kJournalMagic;
  out.goodBytes = at;
  std::string why;
  while (at < bytes.size()) {
    Fields length(bytes.substr(at, 8));
    std::uint64_t n = 0;
    if (!length.U64(n)) {
      why = "cut short";
      break;
    }
    const std::size_t left = bytes.size() - at - 8;
    if (n == 0 || n > left || left - n < 4) {
      why = "cut short";
      break;
    }
    const std::string_view framed = bytes.substr(at, 8 + n);
    Fields check(bytes.substr(at + 8 + n, 4));
    std::uint32_t crc = 0;
    check.U32(crc);
    if (Crc32(framed) != crc) {
      why = "a damaged record";
      break;
    }
    const char type = framed[8];
    const std::string_view payload = framed.substr(9);
    bool ok = true;
    if (type == 'D') {
      JournalDocument doc;
      ok = ParseDocument(payload, doc);
      if (ok) {
        out.document = std::move(doc);
        haveDocument = true;
      }
    } else if (type == 'T') {
      ok = haveDocument;
      if (ok) {
        text.Assign(payload.data(), payload.size());
        haveText = true;
        out.anchor = out.caret = 0;
      }
    } else if (type == 'A') {
      ok = haveText;
      if (ok) text.Insert(text.Size(), payload.data(), payload.size());
    } else if (type == 'E') {
      Fields f(payload);
      std::int64_t pos = 0, removed = 0;
      ok = haveText && f.I64(pos) && f.I64(removed);
      const auto size = static_cast<std::int64_t>(text.Size());
      ok = ok && pos >= 0 && pos <= size && removed >= 0 && removed <= size - pos;
      if (ok) {
        const std::string_view inserted = f.Rest();
        text.Erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(removed));
        text.Insert(static_cast<std::size_t>(pos), inserted.data(), inserted.size());
      }
    } else if (type == 'C') {
      Fields f(payload);
      ok = haveText && f.I64(out.anchor) && f.I64(out.caret) && f.I64(out.changedMs) && f.Rest().empty();
    } else {
      ok = false;
    }
    if (!ok) {
      why = "a record that does not fit";
      break;
    }
    at += 8 + n + 4;
    out.goodBytes = at;
    ++out.records;
  }
  out.usable = haveDocument && haveText;
  out.complete = why.empty();
  if (!out.complete) out.problem = why;
  else if (!out.usable) out.problem = "no text in it";
  if (out.usable) {
    out.text = text.Release();
    const auto size = static_cast<std::int64_t>(out.text.size());
    out.anchor = std::clamp<std::int64_t>(out.anchor, 0, size);
    out.caret = std::clamp<std::int64_t>(out.caret, 0, size);
  }
  return out;
}

JournalContents ReadJournalFile(const std::string& path) {
  JournalContents none;
  none.problem = "cannot be read";
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return none;
  struct stat st {};
  std::string bytes;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    try {
      bytes.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  std::size_t got = 0;
  while (ok && got < bytes.size()) {
    const ssize_t r = ::read(fd, &bytes[got], bytes.size() - got);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<std::size_t>(r);
  }
  ::close(fd);
  if (!ok) return none;
  bytes.resize(got);
  return ReadJournal(bytes);
}

}  // namespace ql
