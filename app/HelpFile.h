// The help file beside the program: topics by context number, in a plain
// format of our own:
//
//   @topic <number> <title>
//   lines of text ...          (a blank line starts a new paragraph)
//
// Lines before the first topic and lines starting with '#' are comments.
// "{{topic N}}" in a text links to topic N; "{{shortcuts}}" is replaced by
// the program's shortcut list when the topic is shown.
#pragma once

#include <map>
#include <string>

namespace ql {

struct HelpTopic {
  std::string title;
  std::string text;
};

std::map<int, HelpTopic> ParseHelpFile(const std::string& contents);

// The topic as HTML for the help window: paragraphs, links "help:N".
std::string HelpTopicHtml(const HelpTopic& topic, const std::map<int, HelpTopic>& all,
                          const std::string& shortcutsHtml);

}  // namespace ql
