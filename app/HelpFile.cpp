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
    std::string escaped = Escape(line);
    // Expand the placeholders after escaping; they hold no markup characters.
    for (std::size_t at; (at = escaped.find("{{shortcuts}}")) != std::string::npos;)
      escaped.replace(at, 13, shortcutsHtml);
    for (std::size_t at; (at = escaped.find("{{topic ")) != std::string::npos;) {
      const std::size_t close = escaped.find("}}", at);
      if (close == std::string::npos) break;
      const int n = std::atoi(escaped.c_str() + at + 8);
      const auto target = all.find(n);
      const std::string title = target != all.end() ? Escape(target->second.title) : "?";
      escaped.replace(at, close + 2 - at,
                      "<a href=\"help:" + std::to_string(n) + "\">" + title + "</a>");
    }
    html += escaped;
  }
  return html + "</p>\n";
}

}  // namespace ql
