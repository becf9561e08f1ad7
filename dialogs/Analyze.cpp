#include "dialogs/Analyze.h"

#include <cstring>

#include "common/Codepage.h"
#include "common/FuncLib.h"

namespace ql {

namespace {

constexpr std::size_t kNone = std::string::npos;
// A list row cannot show more; a name that runs on is cut here.
constexpr std::size_t kNameMax = 1024;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Whether s holds `word` (upper case) at i, case ignored.
bool HasAt(const std::string& s, std::size_t i, const char* word) {
  const std::size_t m = std::strlen(word);
  if (i > s.size() || s.size() - i < m) return false;
  for (std::size_t k = 0; k < m; ++k)
    if (Upper(s[i + k]) != word[k]) return false;
  return true;
}

std::size_t FindChar(const std::string& s, char c, std::size_t from) {
  if (from >= s.size()) return kNone;
  const void* hit = std::memchr(s.data() + from, c, s.size() - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - s.data()) : kNone;
}

// First `word` (starting with '<') at or after from, case ignored.
std::size_t FindTag(const std::string& s, const char* word, std::size_t from) {
  for (std::size_t i = FindChar(s, '<', from); i != kNone; i = FindChar(s, '<', i + 1))
    if (HasAt(s, i, word)) return i;
  return kNone;
}

// A forward search whose starting points only grow: an answer at or after
// the new start is still the first one, so the scan never goes over the
// same text twice (50,000 anchors stay linear).
class ForwardSearch {
 public:
  template <class F>
  std::size_t From(std::size_t from, F find) {
    if (!valid_ || from < from_ || (hit_ != kNone && hit_ < from)) hit_ = find(from);
    valid_ = true;
    from_ = from;
    return hit_;
  }

 private:
  bool valid_ = false;
  std::size_t from_ = 0, hit_ = kNone;
};

// The HREF value inside the opening tag s[begin, end).
std::string HrefIn(const std::string& s, std::size_t begin, std::size_t end) {
  for (std::size_t i = begin; i + 5 <= end; ++i) {
    if (!Blank(s[i - 1]) || !HasAt(s, i, "HREF=")) continue;
    std::size_t v = i + 5;
    if (v < end && (s[v] == '"' || s[v] == '\'')) {
      const char quote = s[v++];
      std::size_t close = v;
      while (close < end && s[close] != quote) ++close;
      return s.substr(v, close - v);
    }
    std::size_t stop = v;
    while (stop < end && !Blank(s[stop]) && s[stop] != '>') ++stop;
    return s.substr(v, stop - v);
  }
  return "";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Thousands(std::int64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

PageKind PageKindOf(const std::string& docFileName) {
  const std::string name = ExtractFileName(docFileName);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return PageKind::Other;
  const std::string ext = AnsiUpperStr(name.substr(dot));
  if (ext == ".TXT") return PageKind::Text;
  if (ext == ".HTM" || ext == ".HTML") return PageKind::Html;
  return PageKind::Other;
}

std::vector<PageAnchor> FindAnchors(const std::string& s) {
  std::vector<PageAnchor> anchors;
  const std::size_t n = s.size();
  ForwardSearch tagEnds, closings, nextTags;
  for (std::size_t lt = FindChar(s, '<', 0); lt != kNone; lt = FindChar(s, '<', lt + 1)) {
    if (lt + 2 >= n || Upper(s[lt + 1]) != 'A' || !Blank(s[lt + 2])) continue;
    const std::size_t p = lt;
    const std::size_t g = tagEnds.From(p, [&](std::size_t f) { return FindChar(s, '>', f); });
    // HREF is looked for in this tag alone; a tag without its ">" ends at
    // the next "<".
    const std::size_t next = nextTags.From(p + 1, [&](std::size_t f) { return FindChar(s, '<', f); });
    std::size_t tagEnd = g == kNone ? n : g;
    if (next != kNone && next < tagEnd) tagEnd = next;
    PageAnchor a;
    a.start = static_cast<std::int64_t>(p);
    a.location = HrefIn(s, p + 2, tagEnd);
    if (g == kNone) {
      a.end = static_cast<std::int64_t>(n);
    } else {
      const std::size_t e = closings.From(g + 1, [&](std::size_t f) { return FindTag(s, "</A>", f); });
      if (e == kNone) {
        a.end = static_cast<std::int64_t>(g + 1);
      } else {
        a.name = s.substr(g + 1, e - g - 1 > kNameMax ? kNameMax : e - g - 1);
        if (e - g - 1 > kNameMax) a.name += "...";
        a.end = static_cast<std::int64_t>(e + 4);
      }
    }
    anchors.push_back(std::move(a));
  }
  return anchors;
}

std::optional<std::string> FindTitle(const std::string& text) {
  const std::size_t p = FindTag(text, "<TITLE>", 0);
  if (p == kNone) return std::nullopt;
  const std::size_t lt = FindChar(text, '<', p + 7);
  if (lt == kNone) return std::string();
  return text.substr(p + 7, lt - p - 7);
}

LinkKind LinkKindOf(const std::string& location) {
  if (HasAt(location, 0, "MAILTO:")) return LinkKind::Mail;
  // A named anchor (no HREF) or a place in this page.
  if (location.empty() || location[0] == '#') return LinkKind::Anchor;
  if (HasAt(location, 0, "WWW.")) return LinkKind::Web;
  // A scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
  std::size_t i = 0;
  auto schemeChar = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
  };
  if (!location.empty() && Upper(location[0]) >= 'A' && Upper(location[0]) <= 'Z')
    while (i < location.size() && schemeChar(location[i])) ++i;
  if (i >= 2 && i < location.size() && location[i] == ':') return LinkKind::Web;
  return LinkKind::MissingFile;
}

std::string LocalLinkPath(const std::string& docFileName, const std::string& location) {
  std::string cut = location.substr(0, location.find_first_of("#?"));
  const std::string utf8 = DecodeToUtf8(Codepage::Cp1252, cut);
  std::string path;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '%' && i + 2 < utf8.size() && HexDigit(utf8[i + 1]) >= 0 &&
        HexDigit(utf8[i + 2]) >= 0) {
      path += static_cast<char>(HexDigit(utf8[i + 1]) * 16 + HexDigit(utf8[i + 2]));
      i += 2;
    } else {
      path += utf8[i];
    }
  }
  return ExtractFileDir(docFileName) + "/" + path;
}

std::string KbText(std::int64_t bytes) {
  if (bytes < 0) bytes = 0;
  // Hundredths of a kilobyte, half rounded up.
  const std::int64_t hundredths = bytes / 1024 * 100 + ((bytes % 1024) * 200 + 1024) / 2048;
  const std::string cents = std::to_string(hundredths % 100);
  return Thousands(hundredths / 100) + "." + (cents.size() == 1 ? "0" : "") + cents + " kb";
}

PageAnalysis AnalyzePage(const std::string& docFileName, const std::string& typeName,
                         const std::string& text, std::int64_t lineCount) {
  PageAnalysis a;
  const PageKind kind = PageKindOf(docFileName);
  if (kind == PageKind::Other) return a;
  a.general.push_back({"Type:", typeName, kIconType});
  a.general.push_back({"Characters:", std::to_string(text.size()), kIconCount});
  a.general.push_back({"Lines:", std::to_string(lineCount), kind == PageKind::Text ? kIconText : kIconHtml});
  a.general.push_back({"Words:", std::to_string(CountWords(text)), kIconCount});
  if (kind == PageKind::Text) return a;
  if (const std::optional<std::string> title = FindTitle(text))
    a.general.push_back({"Title:", *title, kIconTitle});
  for (PageAnchor& anchor : FindAnchors(text)) {
    LinkRow row;
    row.kind = LinkKindOf(anchor.location);
    if (row.kind == LinkKind::MissingFile) {
      const std::string path = LocalLinkPath(docFileName, anchor.location);
      if (IsExistingFile(path)) {
        row.kind = LinkKind::LocalFile;
        row.path = path;
        row.size = KbText(FileSizeOf(path));
      }
    }
    row.anchor = std::move(anchor);
    a.links.push_back(std::move(row));
  }
  return a;
}

}  // namespace ql
