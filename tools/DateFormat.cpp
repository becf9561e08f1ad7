#include "tools/DateFormat.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/FuncLib.h"

namespace ql {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(const std::string& s, std::size_t at, const char* word) {
  for (std::size_t k = 0; word[k]; ++k)
    if (at + k >= s.size() || Upper(s[at + k]) != Upper(word[k])) return false;
  return true;
}

void Number(std::string& out, int value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
  out += buffer;
}

// Does an am/pm marker follow (outside quotes)? Then the hour is 12-hour.
bool TwelveHourAfter(const std::string& p, std::size_t from) {
  char quote = 0;
  for (std::size_t i = from; i < p.size(); ++i) {
    const char c = p[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (StartsWithNoCase(p, i, "am/pm") || StartsWithNoCase(p, i, "a/p") ||
               StartsWithNoCase(p, i, "ampm")) {
      return true;
    }
  }
  return false;
}

void Append(std::string& out, const std::string& p, const DateTimeParts& t, const DateLocale& loc,
            int depth) {
  if (depth > 2) return;  // a locale format naming itself
  char last = 0;          // the last letter token, for m after h
  std::size_t i = 0;
  while (i < p.size()) {
    const char c = p[i];
    char token = Upper(c);
    if (c == '"' || c == '\'') {
      const std::size_t end = p.find(c, i + 1);
      const std::size_t stop = end == std::string::npos ? p.size() : end;
      out.append(p, i + 1, stop - i - 1);
      i = end == std::string::npos ? p.size() : end + 1;
      continue;
    }
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && last == 'H') token = 'N';
      last = token;
    }
    std::size_t count = 1;
    auto countRun = [&] {
      while (i + count < p.size() && Upper(p[i + count]) == Upper(c)) ++count;
    };
    switch (token) {
      case 'Y':
        countRun();
        if (count <= 2)
          Number(out, t.year % 100, 2);
        else
          Number(out, t.year, 4);
        break;
      case 'M':
        countRun();
        if (count <= 2)
          Number(out, t.month, static_cast<int>(count));
        else
          out += (count == 3 ? loc.shortMonthNames : loc.longMonthNames)[(t.month + 11) % 12];
        break;
      case 'D':
        countRun();
        if (count <= 2)
          Number(out, t.day, static_cast<int>(count));
        else if (count == 3)
          out += loc.shortDayNames[t.dayOfWeek % 7];
        else if (count == 4)
          out += loc.longDayNames[t.dayOfWeek % 7];
        else
          Append(out, count == 5 ? loc.shortDateFormat : loc.longDateFormat, t, loc, depth + 1);
        break;
      case 'H': {
        countRun();
        int h = t.hour;
        if (TwelveHourAfter(p, i + count)) {
          h %= 12;
          if (h == 0) h = 12;
        }
        Number(out, h, count >= 2 ? 2 : 1);
        break;
      }
      case 'N':
        countRun();
        Number(out, t.minute, count >= 2 ? 2 : 1);
        break;
      case 'S':
        countRun();
        Number(out, t.second, count >= 2 ? 2 : 1);
        break;
      case 'Z':
        countRun();
        Number(out, t.msec, count >= 3 ? 3 : 1);
        break;
      case 'T':
        countRun();
        Append(out, count == 1 ? loc.shortTimeFormat : loc.longTimeFormat, t, loc, depth + 1);
        break;
      case 'C':
        Append(out, loc.shortDateFormat, t, loc, depth + 1);
        out += ' ';
        Append(out, loc.longTimeFormat, t, loc, depth + 1);
        break;
      case 'A':
        if (StartsWithNoCase(p, i, "am/pm")) {
          // The marker keeps the pattern's own letters.
          out.append(p, t.hour >= 12 ? i + 3 : i, 2);
          count = 5;
        } else if (StartsWithNoCase(p, i, "a/p")) {
          out += p[t.hour >= 12 ? i + 2 : i];
          count = 3;
        } else if (StartsWithNoCase(p, i, "ampm")) {
          out += t.hour >= 12 ? loc.pmText : loc.amText;
          count = 4;
        } else {
          out += c;
        }
        break;
      case '/':
        out += loc.dateSeparator;
        break;
      case ':':
        out += loc.timeSeparator;
        break;
      default:
        out += c;
    }
    i += count;
  }
}

}  // namespace

std::string FormatDateTime(const std::string& pattern, const DateTimeParts& when,
                           const DateLocale& locale) {
  std::string out;
  Append(out, pattern, when, locale, 0);
  return out;
}

std::string DefaultCustomPattern(int day) {
  return "dddd dd\"" + OrdinalSuffix(day, false) + "\", yyyy - HH:NN:SS:ZZZ AM/PM";
}

std::string PatternFromQtFormat(const std::string& q) {
  std::string out;
  const bool twelve = q.find_first_of("aA") != std::string::npos;
  std::size_t i = 0;
  while (i < q.size()) {
    const char c = q[i];
    std::size_t count = 1;
    while (i + count < q.size() && q[i + count] == c) ++count;
    if (c == '\'') {
      // Qt quotes with ' and doubles it for a literal one.
      const std::size_t end = q.find('\'', i + 1);
      const std::size_t stop = end == std::string::npos ? q.size() : end;
      if (stop == i + 1) {
        out += "\"'\"";
      } else {
        out += '"';
        out.append(q, i + 1, stop - i - 1);
        out += '"';
      }
      i = end == std::string::npos ? q.size() : end + 1;
      continue;
    }
    switch (c) {
      case 'd': out.append(std::min<std::size_t>(count, 4), 'd'); break;
      case 'M': out.append(std::min<std::size_t>(count, 4), 'm'); break;
      case 'y': out += count <= 2 ? "yy" : "yyyy"; break;
      case 'h': case 'H': out += count >= 2 ? "hh" : "h"; break;
      case 'm': out += count >= 2 ? "nn" : "n"; break;
      case 's': out += count >= 2 ? "ss" : "s"; break;
      case 'z': out += count >= 3 ? "zzz" : "z"; break;
      case 'a': case 'A':
        out += twelve ? "ampm" : "";
        if (i + count < q.size() && (q[i + count] == 'p' || q[i + count] == 'P')) ++count;
        break;
      case 't': break;  // no time zone names here
      case '"': out.append(count, '"'); break;
      default: out.append(count, c);
    }
    i += count;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace ql
