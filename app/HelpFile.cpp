#include "app/HelpFile.h"

#include <cstdlib>
#include <sstream>

namespace ql {

namespace {

std::string Escape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
  return s;
}

// One left-to-right pass over the escaped line: what is inserted (a title,
// the shortcut list) is never read again, so a title that links to its own
// topic cannot make the text grow without end.
std::string ExpandPlaceholders(const std::string& line, const std::map<int, HelpTopic>& all,
                               const std::string& shortcutsHtml) {
  static const std::string kShortcuts = "{{shortcuts}}", kTopic = "{{topic ";
  std::string out;
  out.reserve(line.size());
  std::size_t from = 0;
  for (std::size_t at; (at = line.find("{{", from)) != std::string::npos;) {
    out.append(line, from, at - from);
    if (line.compare(at, kShortcuts.size(), kShortcuts) == 0) {
      out += shortcutsHtml;
      from = at + kShortcuts.size();
      continue;
    }
    // "{{topic N}}": digits, then the closing braces at once.
    std::size_t end = at + kTopic.size();
    if (line.compare(at, kTopic.size(), kTopic) == 0)
      while (end < line.size() && end - at - kTopic.size() < 9 && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == at + kTopic.size() || line.compare(end, 2, "}}") != 0) {
      out += '{';  // not a placeholder; the next brace may start one
      from = at + 1;
      continue;
    }
    const int n = std::atoi(line.c_str() + at + kTopic.size());
    const auto target = all.find(n);
    const std::string title = target != all.end() ? Escape(target->second.title) : "?";
    out += "<a href=\"help:" + std::to_string(n) + "\">" + title + "</a>";
    from = end + 2;
  }
  out.append(line, from, std::string::npos);
  return out;
}

}  // namespace

std::map<int, HelpTopic> ParseHelpFile(const std::string& contents) {
  std::map<int, HelpTopic> topics;
  std::istringstream in(contents);
  std::string line;
  HelpTopic* current = nullptr;
  while (std::getline(in, line)) {
    line = TrimRight(line);
    if (line.rfind("@topic ", 0) == 0) {
      char* end = nullptr;
      const long number = std::strtol(line.c_str() + 7, &end, 10);
      if (end == line.c_str() + 7 || number <= 0) {
        current = nullptr;
        continue;
      }
      std::string title = end;
      title.erase(0, title.find_first_not_of(' '));
      current = &topics[static_cast<int>(number)];
      *current = HelpTopic{title, ""};
      continue;
    }
    if (!current || (!line.empty() && line[0] == '#')) continue;
    current->text += line + "\n";
  }
  for (auto& [n, t] : topics) {
    while (!t.text.empty() && (t.text.back() == '\n')) t.text.pop_back();
    t.text.erase(0, t.text.find_first_not_of('\n'));
  }
  return topics;
}

std::string HelpTopicHtml(const HelpTopic& topic, const std::map<int, HelpTopic>& all,
                          const std::string& shortcutsHtml) {
  std::string html = "<h2>" + Escape(topic.title) + "</h2>\n<p>";
  std::istringstream in(topic.text);
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (line.empty()) {
      html += "</p>\n<p>";
      first = true;
      continue;
    }
    if (!first) html += "<br>\n";
    first = false;
    html += ExpandPlaceholders(Escape(line), all, shortcutsHtml);
  }
  return html + "</p>\n";
}

}  // namespace ql
