#include "tools/HtmlMini.h"

#include <cstring>

#include "common/Codepage.h"
#include "common/FuncLib.h"
#include "platform/MsgBoxCodes.h"

namespace ql {

TagRemoval RemoveTags(const std::string& text, const LongTagQuestion& ask) {
  TagRemoval result;
  const char* const s = text.data();
  const std::size_t n = text.size();
  const void* first = n ? std::memchr(s, '<', n) : nullptr;
  if (!first) {
    result.text = text;
    return result;
  }
  std::string& out = result.text;
  out.reserve(n);
  std::size_t copied = 0;  // text[0, copied) is decided and in out
  std::size_t i = static_cast<std::size_t>(static_cast<const char*>(first) - s);
  while (i < n) {
    // i stands on a "<": the tag runs to the next ">" unless another "<"
    // comes first, which starts it anew.
    std::size_t start = i;
    std::size_t j = i + 1;
    while (j < n && s[j] != '>') {
      if (s[j] == '<') start = j;
      ++j;
    }
    if (j == n) break;  // never closed: stays with everything after it
    const std::size_t length = j - start + 1;
    bool remove = true;
    if (ask && static_cast<std::int64_t>(length) >= kLongTag) {
      const int answer = ask(text.substr(start, length));
      if (answer == IdCancel) {
        result.cancelled = true;
        break;
      }
      remove = answer == IdYes;
    }
    if (remove) {
      out.append(s + copied, start - copied);
      copied = j + 1;
    }
    const void* next = j + 1 < n ? std::memchr(s + j + 1, '<', n - j - 1) : nullptr;
    if (!next) break;
    i = static_cast<std::size_t>(static_cast<const char*>(next) - s);
  }
  out.append(s + copied, n - copied);
  return result;
}

std::string MinimizeHtml(std::string text, bool crlfToSpace, bool delSpace) {
  if (crlfToSpace) ReplaceAll(text, "\r\n", " ", 1);
  if (delSpace) {
    // Pairs only: an odd run keeps one space (or tab).
    ReplaceAll(text, "  ", "", 1);
    ReplaceAll(text, "\t\t", "", 1);
  }
  return text;
}

std::string LongTagMessage(const std::string& tag) {
  // A runaway "tag" can be the rest of a big file; the box shows its start.
  constexpr std::size_t kShown = 300;
  std::string shown = DecodeToUtf8(Codepage::Cp1252, tag.substr(0, kShown));
  if (tag.size() > kShown) shown += "...";
  return "A tag with a length over 200 was found!\nThis is not a normal HTML tag!\n\n\n" + shown +
         "\n\n\nDo you want to remove it?";
}

std::string RemoveTagsReport(std::int64_t before, std::int64_t after) {
  // The kept share, truncated; an empty document has shrunk by nothing.
  const std::int64_t kept = before > 0 ? after * 100 / before : 100;
  return "Reduced about: " + std::to_string(100 - kept) + "%\nFrom \"" + std::to_string(before) +
         "\" chars, to \"" + std::to_string(after) + "\" chars.";
}

std::string MinimizeReport(std::int64_t before, std::int64_t after) {
  return "Reduced the filesize of the HTML document by \"" + std::to_string(before - after) +
         "\" characters.\nFrom \"" + std::to_string(before) + "\" to \"" + std::to_string(after) +
         "\" bytes!";
}

namespace {

// The whole document replaced in one undoable step; the caret stays where
// it was as far as the shorter text allows.
void ReplaceWholeText(TextToolHost& host, const std::string& text) {
  EditorBuffer& b = host.Buffer();
  const Offset caret = b.SelStart();
  BulkScope scope(host);
  b.SelectAll();
  b.ReplaceSelection(text);
  host.TextChanged();
  b.SetSelection(caret, 0);
}

}  // namespace

void RemHtmlTagCommand(HtmlToolHost& host) {
  if (host.Message("Are you sure you want to remove the HTML tags in the current text?",
                   "Remove HTML Tags?", 36) != IdYes)
    return;
  host.ShowStatus("Removing HTML tags...");
  const std::string text = host.Buffer().Text();
  const TagRemoval removal = RemoveTags(text, [&host](const std::string& tag) {
    return host.Message(LongTagMessage(tag), "HTML tag remover", 51);
  });
  if (removal.text != text) ReplaceWholeText(host, removal.text);
  host.Message(RemoveTagsReport(static_cast<std::int64_t>(text.size()),
                                static_cast<std::int64_t>(removal.text.size())),
               "Function Result!", 64);
  host.ShowStatus("HTML tags removed!");
  host.PlayCompletionSound();
}

void MiniHtmlCommand(HtmlToolHost& host, bool crlfToSpace, bool delSpace) {
  const std::string text = host.Buffer().Text();
  const std::string small = MinimizeHtml(text, crlfToSpace, delSpace);
  if (small != text) ReplaceWholeText(host, small);
  host.Message(MinimizeReport(static_cast<std::int64_t>(text.size()),
                              static_cast<std::int64_t>(small.size())),
               "Function result", 64);
}

}  // namespace ql
