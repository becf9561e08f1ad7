#include "functions/RichText.h"

#include <cstring>

namespace ql {

namespace {

const char kLine1Head[] = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern ";
const char kLine1Tail[] = ";}}\r\n";
const char kColorHead[] = "{\\colortbl";
const char kEnd[] = "\\par }";

std::string ColorEntry(RtfColor c) {
  return "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
         std::to_string((c >> 16) & 0xFF) + ";";
}

// Reads the document from left to right; every method returns false when
// the text there is not what the writer produces.
class Reader {
 public:
  explicit Reader(const std::string& s) : s_(s) {}

  bool Literal(const char* text) {
    const std::size_t n = std::strlen(text);
    if (s_.compare(at_, n, text) != 0) return false;
    at_ += n;
    return true;
  }

  // A decimal number 0-255 without leading zeros.
  bool Channel(unsigned& value) {
    std::size_t digits = 0;
    value = 0;
    while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9' && digits < 4) {
      value = value * 10 + static_cast<unsigned>(s_[at_] - '0');
      ++at_;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    return !(digits > 1 && s_[at_ - digits] == '0');
  }

  bool Header(RtfDocument& doc) {
    if (!Literal(kLine1Head)) return false;
    const std::size_t end = s_.find(kLine1Tail, at_);
    if (end == std::string::npos) return false;
    doc.fontName = s_.substr(at_, end - at_);
    if (RtfFontName(doc.fontName) != doc.fontName) return false;
    at_ = end + std::strlen(kLine1Tail);
    if (!Literal(kColorHead)) return false;
    for (RtfColor& c : doc.colors) {
      unsigned r, g, b;
      if (!Literal("\\red") || !Channel(r) || !Literal("\\green") || !Channel(g) || !Literal("\\blue") ||
          !Channel(b) || !Literal(";"))
        return false;
      c = r | g << 8 | b << 16;
    }
    return Literal("}\r\n");
  }

  bool Body(RtfDocument& doc) {
    std::string& out = doc.text;
    out.reserve(s_.size() - at_);
    int color = 0;
    std::size_t runStart = 0;
    int runColor = 0;
    std::size_t afterPar = std::string::npos;  // text length right after the last \par
    const auto closeRun = [&] {
      if (out.size() > runStart) {
        if (!doc.runs.empty() && doc.runs.back().color == runColor)
          doc.runs.back().length += static_cast<std::int64_t>(out.size() - runStart);
        else
          doc.runs.push_back({static_cast<std::int64_t>(runStart),
                              static_cast<std::int64_t>(out.size() - runStart), runColor});
      }
      runStart = out.size();
      runColor = color;
    };
    while (at_ < s_.size()) {
      const char* p = s_.data() + at_;
      const char* const stop = s_.data() + s_.size();
      // Plain bytes up to the next byte that means something.
      static const std::array<bool, 256> special = [] {
        std::array<bool, 256> t{};
        for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'}) t[c] = true;
        return t;
      }();
      const char* q = p;
      while (q < stop && !special[static_cast<unsigned char>(*q)]) ++q;
      if (q > p) {
        out.append(p, static_cast<std::size_t>(q - p));
        at_ += static_cast<std::size_t>(q - p);
        continue;
      }
      const char c = *p;
      if (c == '\r' || c == '\n') {  // line breaks of the file mean nothing
        ++at_;
        continue;
      }
      if (c == '}') {
        // The group opened in the first line closes the document after a \par.
        if (at_ + 1 != s_.size() || afterPar != out.size()) return false;
        closeRun();
        out.resize(out.size() - 2);
        at_ = s_.size();
        // The closing \par is no line break of the text.
        const auto size = static_cast<std::int64_t>(out.size());
        while (!doc.runs.empty() && doc.runs.back().start >= size) doc.runs.pop_back();
        if (!doc.runs.empty() && doc.runs.back().start + doc.runs.back().length > size)
          doc.runs.back().length = size - doc.runs.back().start;
        return true;
      }
      if (c != '\\') return false;  // a group or byte 0
      ++at_;
      if (at_ >= s_.size()) return false;
      const char e = s_[at_];
      if (e == '\\' || e == '{' || e == '}') {
        out += e;
        ++at_;
        continue;
      }
      // A control word: letters, an optional number, one optional blank.
      const std::size_t wordStart = at_;
      while (at_ < s_.size() && s_[at_] >= 'a' && s_[at_] <= 'z' && at_ - wordStart < 8) ++at_;
      const char* word = s_.data() + wordStart;
      const std::size_t wordLength = at_ - wordStart;
      const auto is = [&](const char* w, std::size_t n) { return wordLength == n && std::memcmp(word, w, n) == 0; };
      long value = -1;
      if (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') {
        value = 0;
        int digits = 0;
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') {
          if (++digits > 5) return false;
          value = value * 10 + (s_[at_++] - '0');
        }
      }
      if (at_ < s_.size() && s_[at_] == ' ') ++at_;  // the word's delimiter
      if (is("plain", 5) && value < 0) {
        color = 0;
      } else if (is("f", 1) && value == 0) {
      } else if (is("fs", 2) && value > 0) {
        if (doc.fontSize == 0) doc.fontSize = static_cast<int>(value / 2);
      } else if (is("cf", 2) && value >= 0 && value <= 2) {
        color = static_cast<int>(value);
      } else if (is("tab", 3) && value < 0) {
        out += '\t';
      } else if (is("par", 3) && value < 0) {
        out += "\r\n";
        afterPar = out.size();
      } else {
        return false;
      }
      if (color != runColor) closeRun();
    }
    return false;  // never closed
  }

 private:
  const std::string& s_;
  std::size_t at_ = 0;
};

}  // namespace

std::string RtfFontName(const std::string& name) {
  std::string out;
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127 || std::strchr("\\{};<>=\"", ch)) continue;
    out += ch;
  }
  return out;
}

std::string RtfHeader(const std::string& fontName, const std::array<RtfColor, 3>& colors) {
  return kLine1Head + RtfFontName(fontName) + kLine1Tail + kColorHead + ColorEntry(colors[0]) +
         ColorEntry(colors[1]) + ColorEntry(colors[2]) + "}\r\n";
}

std::string RtfColorSwitch(int index, int fontSize) {
  return "\\plain\\f0\\fs" + std::to_string(2 * fontSize) + "\\cf" + std::to_string(index) + " ";
}

std::string RtfEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 16);
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* q = p;
    while (q < end && *q != '\\' && *q != '{' && *q != '}' && *q != '\t' && *q != '\r') ++q;
    out.append(p, static_cast<std::size_t>(q - p));
    if (q == end) break;
    switch (*q) {
      case '\t': out += "\\tab "; break;
      case '\r':
        if (q + 1 < end && q[1] == '\n') {
          out += "\r\n\\par ";
          ++q;
        } else {
          out += '\r';
        }
        break;
      default:
        out += '\\';
        out += *q;
    }
    p = q + 1;
  }
  return out;
}

std::string HtmlTagsToRtf(const std::string& text, const std::array<RtfColor, 3>& colors,
                          const std::string& fontName, int fontSize, const TProgressProc& progress) {
  if (text.find('<') == std::string::npos) return std::string();
  const std::string c0 = RtfColorSwitch(0, fontSize), c1 = RtfColorSwitch(1, fontSize),
                    c2 = RtfColorSwitch(2, fontSize);
  const std::string doc = RtfHeader(fontName, colors) + c0 + RtfEscape(text) + kEnd;
  std::string out;
  out.reserve(doc.size() + doc.size() / 4);
  bool inTag = false, inValue = false, inQuote = false;
  const std::size_t n = doc.size();
  ProgressTicker ticker(progress, n);
  std::size_t p = 0;
  while (p < n) {
    ticker.Step(p);
    if (!inTag) {
      const void* hit = std::memchr(doc.data() + p, '<', n - p);
      const std::size_t q = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - doc.data()) : n;
      out.append(doc, p, q - p);
      p = q;
      if (p == n) break;
    }
    const char c = doc[p];
    if (c == '<' && !inTag) {
      inTag = true;
      out += c1;
      out += c;
    } else if (c == '>' && inTag) {
      inTag = inValue = inQuote = false;
      out += c1;
      out += c;
      out += c0;
    } else if (c == '=' && inTag && !inValue) {
      inValue = true;
      out += c;
      out += c2;
    } else if (inValue && ((c == ' ' && !inQuote) || c == '\r')) {
      inValue = inQuote = false;
      out += c;
      out += c1;
    } else if (inValue && inQuote && c == '"') {
      inQuote = false;
      out += c;
      out += c1;
    } else {
      if (inValue && c == '"') inQuote = true;
      out += c;
    }
    ++p;
  }
  ticker.Step(n);
  return out;
}

std::optional<RtfDocument> ReadRtf(const std::string& rtf) {
  RtfDocument doc;
  Reader reader(rtf);
  if (!reader.Header(doc) || !reader.Body(doc)) return std::nullopt;
  return doc;
}

}  // namespace ql
