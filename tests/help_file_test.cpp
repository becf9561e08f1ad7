#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <sstream>

#include "app/HelpFile.h"

using namespace ql;

TEST(HelpFile, TopicsLinksAndPlaceholders) {
  const std::map<int, HelpTopic> topics = ParseHelpFile(
      "# comment before any topic\n"
      "@topic 1 Contents\n"
      "See {{topic 30}} & {{topic 99}}.\n"
      "\n"
      "# a comment inside\n"
      "Keys: {{shortcuts}}\n"
      "@topic 30 The <File> menu\r\n"
      "Open files.\n\n\n"
      "@topic x broken\n"
      "ignored\n");
  ASSERT_EQ(topics.size(), 2u);
  EXPECT_EQ(topics.at(30).title, "The <File> menu");
  EXPECT_EQ(topics.at(30).text, "Open files.");
  const std::string html = HelpTopicHtml(topics.at(1), topics, "<b>F1</b>");
  EXPECT_EQ(html,
            "<h2>Contents</h2>\n<p>See <a href=\"help:30\">The &lt;File&gt; menu</a> &amp; "
            "<a href=\"help:99\">?</a>.</p>\n<p>Keys: <b>F1</b></p>\n");
}

namespace {

// A title or the shortcut list holding placeholders themselves: they are
// inserted as they are, never expanded again.
TEST(HelpFile, InsertedTextIsNeverExpandedAgain) {
  const struct {
    const char* what;
    const char* file;
    int topic;
    const char* shortcuts;
    const char* html;
  } table[] = {
      {"title links to its own topic", "@topic 1 See {{topic 1}}\n{{topic 1}}\n", 1, "",
       "<h2>See {{topic 1}}</h2>\n<p><a href=\"help:1\">See {{topic 1}}</a></p>\n"},
      {"two titles link to each other", "@topic 1 A {{topic 2}}\n{{topic 2}}\n@topic 2 B {{topic 1}}\n", 1, "",
       "<h2>A {{topic 2}}</h2>\n<p><a href=\"help:2\">B {{topic 1}}</a></p>\n"},
      {"title holds the shortcut placeholder", "@topic 1 {{shortcuts}}\n{{topic 1}} {{shortcuts}}\n", 1, "K",
       "<h2>{{shortcuts}}</h2>\n<p><a href=\"help:1\">{{shortcuts}}</a> K</p>\n"},
      {"shortcut list holds placeholders", "@topic 1 T\n{{shortcuts}}{{topic 1}}\n", 1, "{{shortcuts}}{{topic 1}}",
       "<h2>T</h2>\n<p>{{shortcuts}}{{topic 1}}<a href=\"help:1\">T</a></p>\n"},
      {"brace before a placeholder", "@topic 1 T\n{{{topic 1}}}\n", 1, "",
       "<h2>T</h2>\n<p>{<a href=\"help:1\">T</a>}</p>\n"},
      {"not placeholders", "@topic 1 T\n{{topic }} {{topic x}} {{topic 1} {{topic 1234567890}} {{\n", 1, "",
       "<h2>T</h2>\n<p>{{topic }} {{topic x}} {{topic 1} {{topic 1234567890}} {{</p>\n"},
  };
  for (const auto& row : table) {
    const auto topics = ParseHelpFile(row.file);
    ASSERT_TRUE(topics.count(row.topic)) << row.what;
    EXPECT_EQ(HelpTopicHtml(topics.at(row.topic), topics, row.shortcuts), row.html) << row.what;
  }
}

std::string EscapeForTest(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

std::size_t Count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// Random help files built from the pieces that matter (placeholders whole
// and broken, braces, markup characters, topic lines, blank lines). A fixed
// number of files of bounded size: the time is bounded by construction.
// Each topic's HTML must match what a regular expression makes of the same
// lines, stay within a size bound linear in the input, and keep its tags
// balanced.
TEST(HelpFile, RandomTopicFilesExpandOnceInLinearSize) {
  std::mt19937 rng(1881);
  const std::vector<std::string> pieces = {
      "{{topic 1}}", "{{topic 2}}", "{{topic 3}}", "{{topic 77}}", "{{shortcuts}}", "{{", "}}", "{",
      "}", "{{topic ", "{{topic 1", "topic", " ", "a", "<", ">", "&", "\"", "#", "7",
      "\n", "\n\n", "\n@topic 1 ", "\n@topic 2 ", "\n@topic 3 ", "\n@topic x ", "\r"};
  const std::regex placeholder(R"(\{\{(?:topic ([0-9]{1,9})|shortcuts)\}\})");
  for (int round = 0; round < 1500; ++round) {
    std::string file;
    const int count = static_cast<int>(rng() % 80);
    for (int i = 0; i < count; ++i) file += pieces[rng() % pieces.size()];
    std::string shortcuts;
    for (int i = static_cast<int>(rng() % 4); i > 0; --i) shortcuts += pieces[rng() % pieces.size()];
    shortcuts.erase(std::remove(shortcuts.begin(), shortcuts.end(), '\n'), shortcuts.end());
    SCOPED_TRACE("file: " + file + " | shortcuts: " + shortcuts);

    const auto topics = ParseHelpFile(file);
    std::size_t longestTitle = 1;
    for (const auto& [n, t] : topics) longestTitle = std::max(longestTitle, EscapeForTest(t.title).size());
    for (const auto& [n, topic] : topics) {
      const std::string html = HelpTopicHtml(topic, topics, shortcuts);

      std::string expected = "<h2>" + EscapeForTest(topic.title) + "</h2>\n<p>";
      std::size_t placeholders = 0, links = 0;
      std::istringstream in(topic.text);
      bool first = true;
      for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
          expected += "</p>\n<p>";
          first = true;
          continue;
        }
        if (!first) expected += "<br>\n";
        first = false;
        const std::string escaped = EscapeForTest(line);
        std::size_t from = 0;
        for (std::sregex_iterator m(escaped.begin(), escaped.end(), placeholder), end; m != end; ++m) {
          expected.append(escaped, from, static_cast<std::size_t>(m->position()) - from);
          ++placeholders;
          if ((*m)[1].matched) {
            ++links;
            const int target = std::stoi((*m)[1].str());
            const auto t = topics.find(target);
            expected += "<a href=\"help:" + std::to_string(target) + "\">" +
                        (t == topics.end() ? "?" : EscapeForTest(t->second.title)) + "</a>";
          } else {
            expected += shortcuts;
          }
          from = static_cast<std::size_t>(m->position() + m->length());
        }
        expected += escaped.substr(from);
      }
      expected += "</p>\n";
      ASSERT_EQ(html, expected);

      const std::size_t bound = 6 * (topic.title.size() + topic.text.size()) + 32 +
                                placeholders * (shortcuts.size() + longestTitle + 32);
      ASSERT_LE(html.size(), bound);
      ASSERT_EQ(Count(html, "<a href=\"help:"), links + Count(shortcuts, "<a href=\"help:"));
      ASSERT_EQ(Count(html, "<p>"), Count(html, "</p>"));
    }
  }
}

}  // namespace
