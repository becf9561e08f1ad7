#include <gtest/gtest.h>

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
