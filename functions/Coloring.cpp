#include "functions/Coloring.h"

#include <algorithm>
#include <cstring>

#include "common/FuncLib.h"

namespace ql {

namespace {

// Calls f(start, length) for every line of the text, without its break.
template <typename F>
void ForEachLine(const std::string& text, F f) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    f(start, end - start);
    if (last) break;
    start = end + 2;
  }
}

std::string Lower(const std::string& s) { return AnsiLowerStr(s); }

}  // namespace

std::vector<ColorSpan> StandardColorSpans(const std::string& text, std::uint32_t textColor,
                                          std::uint32_t defColor) {
  std::vector<ColorSpan> spans;
  ForEachLine(text, [&](std::size_t start, std::size_t length) {
    if (length == 0) return;
    const char* line = text.data() + start;
    const auto at = static_cast<std::int64_t>(start);
    const auto len = static_cast<std::int64_t>(length);
    const void* eq = std::memchr(line, '=', length);
    if (eq) {
      const auto after = static_cast<std::int64_t>(static_cast<const char*>(eq) - line) + 1;
      if (after < len) spans.push_back({at + after, len - after, defColor});
    }
    if (line[0] == '[' && line[length - 1] == ']') {
      spans.push_back({at, len, defColor});
    } else if (line[0] == ';' || (length >= 2 && line[0] == '/' && line[1] == '/')) {
      spans.push_back({at, len, textColor});
    }
  });
  return spans;
}

std::vector<std::string> ParseKeywordList(const std::string& fileText) {
  std::vector<std::string> entries;
  std::string entry;
  for (char c : fileText) {
    if (c == ',' || c == '.' || c == '\r' || c == '\n') {
      if (!entry.empty()) entries.push_back(entry);
      entry.clear();
    } else {
      entry += c;
    }
  }
  if (!entry.empty()) entries.push_back(entry);
  return entries;
}

std::vector<ColorSpan> KeywordSpans(const std::string& text, const std::vector<std::string>& keywords,
                                    std::uint32_t tagColor) {
  std::vector<ColorSpan> spans;
  for (const std::string& k : keywords) {
    if (k.empty()) continue;
    const auto len = static_cast<Pos>(k.size());
    for (Pos p = FindMatch(text, k, 1, false, true); p != -1; p = FindMatch(text, k, p + len, false, true))
      spans.push_back({p - 1, len, tagColor});
  }
  std::stable_sort(spans.begin(), spans.end(),
                   [](const ColorSpan& a, const ColorSpan& b) { return a.start < b.start; });
  return spans;
}

std::vector<ColorSpan> LabelLineSpans(const std::string& text, std::uint32_t defColor) {
  std::vector<ColorSpan> spans;
  ForEachLine(text, [&](std::size_t start, std::size_t length) {
    if (length > 0 && text[start] == ':')
      spans.push_back({static_cast<std::int64_t>(start), static_cast<std::int64_t>(length), defColor});
  });
  return spans;
}

std::vector<KeywordList> FindKeywordLists(const std::vector<std::string>& folders) {
  std::vector<KeywordList> lists;
  for (const std::string& folder : folders) {
    const std::string found = ListFiles(folder, "*", faAnyFile);
    std::size_t at = 0;
    while (at < found.size()) {
      std::size_t end = found.find("\r\n", at);
      if (end == std::string::npos) end = found.size();
      const std::string path = found.substr(at, end - at);
      at = end + 2;
      const std::string file = ExtractFileName(path);
      if (file.size() <= 4 || Lower(file.substr(file.size() - 4)) != ".kwl" || !IsExistingFile(path)) continue;
      KeywordList list{file.substr(0, file.size() - 4), path};
      const auto same = std::find_if(lists.begin(), lists.end(), [&](const KeywordList& l) {
        return Lower(l.name) == Lower(list.name);
      });
      if (same != lists.end())
        *same = list;
      else
        lists.push_back(list);
    }
  }
  std::sort(lists.begin(), lists.end(), [](const KeywordList& a, const KeywordList& b) {
    const std::string la = Lower(a.name), lb = Lower(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  return lists;
}

}  // namespace ql
