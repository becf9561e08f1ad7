#include "tools/FindReplace.h"

#include <algorithm>
#include <new>

#include "common/Codepage.h"
#include "common/FuncLib.h"

namespace ql {

namespace {

constexpr int kYes = 6;

std::string Utf8(const std::string& text) { return DecodeToUtf8(Codepage::Cp1252, text); }

}  // namespace

std::string SearchEngine::FoundText(std::int64_t count, bool replaced, const char* lead) const {
  std::string text = std::string(lead) + " \"" + Utf8(state_.findText) + "\" was ";
  if (replaced) text += "replaced by \"" + Utf8(state_.replaceText) + "\" ";
  else text += "found ";
  return text + std::to_string(count) + " times.";
}

SearchOrigin SearchEngine::Press(SearchButton button, SearchOrigin origin) {
  state_.wrapAsked = false;
  state_.searchCount = 0;
  replacements_ = 0;
  const SearchOrigin shown =
      origin == SearchOrigin::FromStart && button != SearchButton::FindAll ? SearchOrigin::FromCursor
                                                                           : origin;
  if (state_.findText.empty()) return shown;

  EditorBuffer& buffer = host_.Buffer();
  const bool within = origin == SearchOrigin::WithinSelection;
  const Offset searchStart =
      origin == SearchOrigin::FromStart ? 1 : buffer.SelStart() + buffer.SelLength() + 1;
  try {
    switch (button) {
      case SearchButton::Find:
      case SearchButton::FindNext:
        SearchText(SearchMode::F1, within ? FixRegion() : searchStart, within);
        break;
      case SearchButton::FindAll: {
        std::string region;
        if (within) {
          region = buffer.SelText();
        } else {
          region = buffer.Text();
          if (origin == SearchOrigin::FromCursor)
            region.erase(0, static_cast<std::size_t>(std::min<Offset>(buffer.SelStart(), region.size())));
        }
        const Pos n = CountMatches(region, state_.findText, 1, state_.caseSensitive, state_.wholeWord);
        host_.Message(FoundText(n, false, "The string"), "Search result", 64);
        break;
      }
      case SearchButton::Replace:
        SearchText(SearchMode::R1, within ? FixRegion() : searchStart, within);
        break;
      case SearchButton::ReplaceAll:
        buffer.SetSelection(0, 0);
        host_.BeginBulk();
        if (state_.prompt) {
          // The selection was just cleared: within it there is nothing to find.
          SearchText(SearchMode::R2, within ? FixRegion() : 1, within);
        } else {
          std::string text = buffer.Text();
          const Pos n = ReplaceAllEx(text, state_.findText, state_.replaceText, 1, state_.caseSensitive,
                                     state_.wholeWord);
          if (n > 0) ReplaceWhole(text);
          replacements_ += n;
          buffer.SetSelection(0, 0);
          if (host_.InBulk()) host_.EndBulk();
          host_.Message(FoundText(n, true, "The string"), "Replace result", 64);
        }
        // A Replace All that replaced nothing leaves the document as it was.
        if (replacements_ > 0) host_.TextChanged();
        break;
    }
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
  return shown;
}

void SearchEngine::FindNext() {
  EditorBuffer& buffer = host_.Buffer();
  SearchText(SearchMode::F1, buffer.SelStart() + buffer.SelLength() + 1, false);
}

// Within selection: a press goes on inside the region as long as the
// selection is still the occurrence found last (otherwise Find Next would
// search that occurrence alone, forever); any other selection becomes the
// region and is searched from its beginning.
Offset SearchEngine::FixRegion() {
  const EditorBuffer& buffer = host_.Buffer();
  const Offset start = buffer.SelStart(), length = buffer.SelLength();
  const bool goOn = start == lastMatch_ && length == lastLength_ &&
                    buffer.TextLength() == lastTextLength_ && start >= region_.start &&
                    start + length <= region_.start + region_.length;
  if (goOn) return start + length + 1;
  region_ = {start, length};
  return start + 1;
}

void SearchEngine::SearchText(SearchMode mode, Offset startPos, bool inSelection) {
  if (state_.findText.empty()) return;
  try {
    Run(mode, startPos, inSelection);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
  // Two copies of a big document are not kept between searches.
  std::string().swap(text_);
  std::string().swap(folded_);
}

// One loop instead of the search calling itself again after each prompted
// replacement or wrap, so any number of occurrences is safe.
void SearchEngine::Run(SearchMode mode, Offset startPos, bool inSelection) {
  EditorBuffer& buffer = host_.Buffer();
  text_ = buffer.Text();
  folded_.clear();
  foldedValid_ = false;
  searches_ = 0;
  const Offset findLength = static_cast<Offset>(state_.findText.size());
  const bool replaced = mode != SearchMode::F1;

  Offset pos = startPos;
  for (;;) {
    const Offset p = Locate(pos, inSelection);
    if (p < 0) {
      if (host_.InBulk()) host_.EndBulk();
      host_.Message(FoundText(state_.searchCount, replaced, "The string:"),
                    replaced ? "Replace result" : "Search result", 64);
      state_.searchCount = 0;
      if (!state_.wrapAsked && mode != SearchMode::R2 &&
          host_.Message("End of document, start searching from the beginning?", "Research?", 36) ==
              kYes) {
        state_.wrapAsked = true;
        pos = 1;
        continue;
      }
      return;
    }

    buffer.SetSelection(p, findLength);
    lastMatch_ = buffer.SelStart();
    lastLength_ = buffer.SelLength();
    lastTextLength_ = buffer.TextLength();
    if (mode == SearchMode::F1) {
      buffer.ScrollToCaret();
      ++state_.searchCount;
      break;
    }
    Offset next = pos;
    const bool confirmed = ConfirmReplace(mode, p, next);
    if (confirmed) {
      if (mode == SearchMode::R1) buffer.ScrollToCaret();
      ++state_.searchCount;
      ++replacements_;
      ReplaceFound(inSelection);
      host_.TextChanged();
      next = buffer.SelStart() + 1;  // just after the inserted text
    }
    if (mode == SearchMode::R1) break;
    pos = next;
  }
  if (host_.InBulk()) host_.EndBulk();
}

bool SearchEngine::ConfirmReplace(SearchMode mode, Offset at, Offset& nextStart) {
  if (!state_.prompt) return true;
  if (host_.InBulk()) host_.EndBulk();  // the user has to see the occurrence
  EditorBuffer& buffer = host_.Buffer();
  const Offset findLength = static_cast<Offset>(state_.findText.size());
  const Offset beyond = static_cast<Offset>(text_.size()) + 2;
  switch (host_.Confirm(state_.findText, state_.replaceText, mode == SearchMode::R2)) {
    case ConfirmAnswer::Yes:
      host_.BeginBulk();
      return true;
    case ConfirmAnswer::No:
      // Just after the skipped occurrence, so that a neighbour directly
      // behind it ("abab") is offered next, also by the next button press.
      buffer.SetSelection(std::min(at + findLength, buffer.TextLength()), 0);
      nextStart = at + findLength + 1;
      return false;
    case ConfirmAnswer::NoToAll:
      buffer.SetSelection(buffer.TextLength(), 0);
      nextStart = beyond;
      return false;
    case ConfirmAnswer::YesToAll: {
      std::string text = text_;
      const Pos n = ReplaceAllEx(text, state_.findText, state_.replaceText, at + 1, state_.caseSensitive,
                                 state_.wholeWord);
      state_.searchCount += n;
      replacements_ += n;
      if (n > 0) {
        ReplaceWhole(text);
        text_.swap(text);
        foldedValid_ = false;
        Resync();
      }
      buffer.SetSelection(buffer.TextLength(), 0);
      if (n > 0) host_.TextChanged();
      nextStart = static_cast<Offset>(text_.size()) + 2;
      return false;
    }
    case ConfirmAnswer::Closed:
      nextStart = at + 1;  // offered again
      return false;
  }
  return false;
}

Offset SearchEngine::FindIn(const std::string& text, Offset startPos) const {
  return FindMatch(text, state_.findText, startPos, state_.caseSensitive, state_.wholeWord);
}

Offset SearchEngine::Locate(Offset startPos, bool inSelection) {
  const Offset size = static_cast<Offset>(text_.size());
  if (startPos > size) return -1;
  if (inSelection) {
    const Offset start = std::clamp<Offset>(region_.start, 0, size);
    const Offset length = std::clamp<Offset>(region_.length, 0, size - start);
    const std::string region = text_.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    const Offset p = FindIn(region, std::max<Offset>(startPos, start + 1) - start);
    return p < 0 ? -1 : p - 1 + start;
  }
  // The first search of a run stays lazy (it folds the case of a window
  // near the start only); a run that goes on searches an upper-cased copy,
  // so that each further occurrence costs no more than the way to it.
  if (state_.caseSensitive || searches_++ == 0) {
    const Offset p = FindIn(text_, startPos);
    return p < 0 ? -1 : p - 1;
  }
  if (!foldedValid_) {
    folded_ = AnsiUpperStr(text_);
    foldedFind_ = AnsiUpperStr(state_.findText);
    foldedValid_ = true;
  }
  const std::size_t length = foldedFind_.size();
  for (Offset from = startPos;;) {
    const Offset p = FindMatch(folded_, foldedFind_, from, true, false);
    if (p < 0) return -1;
    const std::size_t at = static_cast<std::size_t>(p - 1), end = at + length;
    const bool bounded = at == 0 || !IsLetter(static_cast<unsigned char>(text_[at - 1]));
    if (!state_.wholeWord ||
        (bounded && (end >= text_.size() || !IsLetter(static_cast<unsigned char>(text_[end])))))
      return p - 1;
    from = p + 1;
  }
}

// Replaces the selected occurrence in the document and in the copies the
// search runs on; the region follows a change inside it.
void SearchEngine::ReplaceFound(bool inSelection) {
  EditorBuffer& buffer = host_.Buffer();
  const Offset at = buffer.SelStart(), removed = buffer.SelLength();
  buffer.ReplaceSelection(state_.replaceText);
  const std::string inserted = NormalizeLineBreaks(state_.replaceText);  // as the buffer stores it
  text_.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(removed), inserted);
  if (foldedValid_)
    folded_.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(removed), AnsiUpperStr(inserted));
  Resync();
  if (inSelection) region_.length += static_cast<Offset>(inserted.size()) - removed;
  lastMatch_ = -1;
}

// Should the buffer have stored a change otherwise than foreseen, the copy
// is read again rather than searched out of step.
void SearchEngine::Resync() {
  const EditorBuffer& buffer = host_.Buffer();
  if (buffer.TextLength() == static_cast<Offset>(text_.size())) return;
  text_ = buffer.Text();
  foldedValid_ = false;
}

// The whole text in one undoable step: SetText would clear the undo history.
void SearchEngine::ReplaceWhole(const std::string& text) {
  EditorBuffer& buffer = host_.Buffer();
  buffer.SelectAll();
  buffer.ReplaceSelection(text);
}

void SearchEngine::OutOfMemory() {
  std::string().swap(text_);
  std::string().swap(folded_);
  foldedValid_ = false;
  if (host_.InBulk()) host_.EndBulk();
  host_.Message("Not enough memory!", "Fatal Error!", 16);
}

}  // namespace ql
