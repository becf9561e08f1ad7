// The two HTML shrinking commands: tag removal (asking before an unusually
// long tag goes) and the minifier (line breaks to spaces, doubled spaces and
// tabs deleted). The string work is pure; the commands replace the whole
// document in one undoable step and report how much it shrank.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/TextToolHost.h"

namespace ql {

// Asked about a tag of kLongTag characters or more (its whole text, "<"
// through ">"); answers IdYes, IdNo or IdCancel.
constexpr std::int64_t kLongTag = 200;
using LongTagQuestion = std::function<int(const std::string& tag)>;

struct TagRemoval {
  std::string text;
  bool cancelled = false;  // Cancel stopped the scan; the rest is unchanged
};
// Everything from a "<" to the next ">" goes; a second "<" starts the tag
// anew, a ">" outside a tag stays. Without a question every tag goes.
TagRemoval RemoveTags(const std::string& text, const LongTagQuestion& ask = {});

// crlfToSpace: every CR LF becomes one space. delSpace: then every pair of
// spaces, then every pair of tabs, is deleted (left to right).
std::string MinimizeHtml(std::string text, bool crlfToSpace, bool delSpace);

// The boxes' texts (UTF-8).
std::string LongTagMessage(const std::string& tag);  // the tag as Windows-1252
std::string RemoveTagsReport(std::int64_t before, std::int64_t after);
std::string MinimizeReport(std::int64_t before, std::int64_t after);

// What the two commands need besides the text tools' host.
class HtmlToolHost : public TextToolHost {
 public:
  virtual void ShowStatus(const std::string& text) = 0;  // panel 0, UTF-8
  virtual void PlayCompletionSound() = 0;
};

// "Remove HTML tags": asks first, then removes, reports and plays the sound.
void RemHtmlTagCommand(HtmlToolHost& host);
// The minifier with the dialog's two options; reports the reduction.
void MiniHtmlCommand(HtmlToolHost& host, bool crlfToSpace, bool delSpace);

}  // namespace ql
