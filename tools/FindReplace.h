// The find and replace engine: finds the next occurrence in the document,
// selects it, replaces it after asking, counts what it did and offers to
// wrap around at the end. It works through the editor buffer and asks its
// questions through the host, so it runs headless in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/EditorBuffer.h"

namespace ql {

enum class SearchMode { F1, R1, R2 };  // find one, replace one, replace all with prompting
enum class ConfirmAnswer { Yes, No, NoToAll, YesToAll, Closed };
enum class SearchOrigin { FromStart, FromCursor, WithinSelection };
enum class SearchButton { Find, FindNext, FindAll, Replace, ReplaceAll };

// What the engine needs from the window.
class SearchHost {
 public:
  virtual ~SearchHost() = default;
  virtual EditorBuffer& Buffer() = 0;
  virtual void BeginBulk() = 0;   // the editor-busy bracket
  virtual void EndBulk() = 0;
  virtual bool InBulk() const = 0;
  virtual void TextChanged() = 0;  // the document was changed (marks it modified)
  // A message box (text and caption UTF-8); returns the answer code (6 Yes, 7 No, 1 OK).
  virtual int Message(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // The "Confirm" dialog; all: also "N&o to All" and "Yes to &All". Texts Windows-1252.
  virtual ConfirmAnswer Confirm(const std::string& findText, const std::string& replaceText,
                                bool all) = 0;
};

// The search state shared by the dialog and the window's F3.
struct SearchState {
  std::string findText;     // Windows-1252, as typed
  std::string replaceText;
  bool caseSensitive = false;
  bool wholeWord = false;
  bool prompt = true;
  std::int64_t searchCount = 0;
  bool wrapAsked = false;
};

class SearchEngine {
 public:
  explicit SearchEngine(SearchHost& host) : host_(host) {}

  SearchState& State() { return state_; }
  const SearchState& State() const { return state_; }

  // A press of one of the dialog's five action buttons, with the dialog's
  // current texts and options already copied into State() (findText not
  // empty). Returns the origin the dialog shows afterwards (From start
  // becomes From cursor after any button but Find All).
  SearchOrigin Press(SearchButton button, SearchOrigin origin);

  // F3: the last search again from just after the selection.
  void FindNext();

  // The engine itself; startPos is 1-based in the whole text.
  void SearchText(SearchMode mode, Offset startPos, bool inSelection);

 private:
  struct Region {
    Offset start = 0, length = 0;
  };
  void Run(SearchMode mode, Offset startPos, bool inSelection);
  bool ConfirmReplace(SearchMode mode, Offset at, Offset& nextStart);
  // The result box: lead, the find text in quotes, "was found" or "was
  // replaced by" the replace text in quotes, the count, "times.".
  std::string FoundText(std::int64_t count, bool replaced, const char* lead) const;
  Offset FindIn(const std::string& text, Offset startPos) const;  // 1-based, -1
  Offset Locate(Offset startPos, bool inSelection);                // 0-based, -1
  Offset FixRegion();  // the 1-based start of a search within the selection
  void ReplaceFound(bool inSelection);
  void ReplaceWhole(const std::string& text);
  void Resync();
  void OutOfMemory();

  SearchHost& host_;
  SearchState state_;
  // Within selection: the region fixed at the button press, and the
  // occurrence selected last (with the text length then), which a further
  // press goes on from.
  Region region_;
  Offset lastMatch_ = -1, lastLength_ = 0, lastTextLength_ = -1;
  // During one search: the document's text, kept in step with each
  // replacement, and its upper-cased copy once a run searches repeatedly.
  std::string text_, folded_, foldedFind_;
  bool foldedValid_ = false;
  int searches_ = 0;
  std::int64_t replacements_ = 0;  // since the last button press
};

}  // namespace ql
