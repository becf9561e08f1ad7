// The offset rules every EditorBuffer must keep, as plain checks that any
// test framework can run: RunBufferCases returns one message per failed
// check, empty when all pass. Each check starts from a fresh buffer.
//
// Only what a caller can observe is checked, so a buffer over a widget runs
// the same table as the in-memory one.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/EditorBuffer.h"

namespace ql {

namespace buffer_cases {

// Text as a C-like literal, so CR, LF and high bytes stay readable.
inline std::string Show(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '"' || c == '\\')
      out += std::string("\\") + static_cast<char>(c);
    else if (c >= 0x20 && c < 0x7F)
      out += static_cast<char>(c);
    else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}
inline std::string Show(Offset v) { return std::to_string(v); }
inline std::string Show(bool v) { return v ? "true" : "false"; }
inline std::string Show(const CaretPosition& p) {
  return "(line " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ")";
}

using Make = std::function<std::unique_ptr<EditorBuffer>()>;

struct Run {
  const Make& make;
  std::vector<std::string> failures;

  // A fresh buffer holding text; null (and a failure) when make gives none.
  std::unique_ptr<EditorBuffer> With(const std::string& text) {
    std::unique_ptr<EditorBuffer> b = make();
    if (!b) {
      failures.push_back("make() returned no buffer");
      return nullptr;
    }
    b->SetText(text);
    return b;
  }

  template <class T>
  void Check(const std::string& what, const T& got, const T& want) {
    if (!(got == want)) failures.push_back(what + ": got " + Show(got) + ", want " + Show(want));
  }
};

inline std::string On(const std::string& text) { return "on " + Show(text) + ": "; }

inline void LineCounts(Run& r) {
  struct Case {
    std::string text;
    Offset lines;
  };
  const Case cases[] = {
      {"", 0},        {"abc", 1},       {"abc\r\n", 1}, {"a\r\n\r\n", 2}, {"\r\n", 1},
      {"a\r\nb", 2},  {"\r\n\r\n", 2},  {"a\nb\n", 2},  {"a\rb", 2},      {"\r\r\n\n", 3},
  };
  for (const Case& c : cases)
    if (auto b = r.With(c.text)) r.Check(On(c.text) + "LineCount()", b->LineCount(), c.lines);
}

// SetText and Text: every break becomes CR LF, each lone CR or LF one break.
inline void Normalising(Run& r) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"a\nb", "a\r\nb"},
      {"a\rb", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"\n\r", "\r\n\r\n"},          // LF then CR is two breaks
      {"\r\r\n\n", "\r\n\r\n\r\n"},  // lone CR, CR LF, lone LF
      {"x\r", "x\r\n"},
  };
  for (const Case& c : cases)
    if (auto b = r.With(c.in)) {
      r.Check(On(c.in) + "Text()", b->Text(), c.out);
      r.Check(On(c.in) + "TextLength()", b->TextLength(), static_cast<Offset>(c.out.size()));
    }
}

inline void Lines(Run& r) {
  struct Case {
    std::string text;
    Offset index;
    std::string line;
  };
  const Case cases[] = {
      {"a\r\nb", 0, "a"},    {"a\r\nb", 1, "b"},     {"a\r\nb", 2, ""},   {"a\r\nb", -1, ""},
      {"abc\r\n", 0, "abc"}, {"abc\r\n", 1, ""},     {"\r\n", 0, ""},     {"", 0, ""},
      {"x\r\n\r\ny", 1, ""}, {"x\r\n\r\ny", 2, "y"}, {"\tz \r\n", 0, "\tz "},
  };
  for (const Case& c : cases)
    if (auto b = r.With(c.text))
      r.Check(On(c.text) + "Line(" + Show(c.index) + ")", b->Line(c.index), c.line);
}

inline void LineOffsets(Run& r) {
  struct Case {
    std::string text;
    Offset index, offset;
  };
  const Case cases[] = {
      {"abc\r\ndef", 0, 0}, {"abc\r\ndef", 1, 5},  {"abc\r\ndef", 2, -1}, {"abc\r\ndef", -1, -1},
      {"abc\r\n", 1, 5},    {"abc\r\n", 2, -1},    {"abc", 1, -1},       {"a\r\n\r\n", 1, 3},
      {"a\r\n\r\n", 2, 5},  {"a\r\n\r\n", 3, -1},
      // The caret of an empty document stands on line 0, at 0.
      {"", 0, 0},           {"", 1, -1},
  };
  for (const Case& c : cases)
    if (auto b = r.With(c.text))
      r.Check(On(c.text) + "LineToOffset(" + Show(c.index) + ")", b->LineToOffset(c.index), c.offset);

  struct Back {
    std::string text;
    Offset offset, line;
  };
  const Back backs[] = {
      {"abc\r\ndef", 0, 0},  {"abc\r\ndef", 3, 0}, {"abc\r\ndef", 4, 0},   // between CR and LF
      {"abc\r\ndef", 5, 1},  {"abc\r\ndef", 8, 1}, {"abc\r\ndef", 100, 1},  {"abc\r\ndef", -1, 0},
      {"abc\r\n", 5, 1},     {"abc\r\n", 9, 1},    {"", 0, 0},             {"a\r\n\r\n", 3, 1},
  };
  for (const Back& c : backs)
    if (auto b = r.With(c.text))
      r.Check(On(c.text) + "OffsetToLine(" + Show(c.offset) + ")", b->OffsetToLine(c.offset), c.line);
}

// SetSelection clamps; the caret is the selection's end; an offset between
// CR and LF goes back to the CR.
inline void Selections(Run& r) {
  struct Case {
    std::string text;
    Offset start, length;
    Offset wantStart, wantLength;
    CaretPosition caret;
    std::string selText;
  };
  const Case cases[] = {
      {"abc\r\ndef", 3, 0, 3, 0, {0, 3}, ""},  // before the CR
      {"abc\r\ndef", 4, 0, 3, 0, {0, 3}, ""},  // between CR and LF
      {"abc\r\ndef", 5, 0, 5, 0, {1, 0}, ""},  // after the LF
      {"abc\r\ndef", 8, 0, 8, 0, {1, 3}, ""},
      {"abc\r\ndef", 3, 2, 3, 2, {1, 0}, "\r\n"},  // a selected break is two characters
      {"abc\r\ndef", 2, 4, 2, 4, {1, 1}, "c\r\nd"},
      {"abc\r\ndef", 3, 1, 3, 0, {0, 3}, ""},      // the end snaps back too
      {"abc\r\ndef", 4, 2, 3, 3, {1, 1}, "\r\nd"},  // so does the start, the end stays
      {"abc\r\n", 5, 0, 5, 0, {1, 0}, ""},          // after a final break: the uncounted line
      {"abc\r\n", 1, 4, 1, 4, {1, 0}, "bc\r\n"},
      {"", 0, 0, 0, 0, {0, 0}, ""},
      {"abcdef", -3, 2, 0, 2, {0, 2}, "ab"},        // negative start
      {"abcdef", 2, 100, 2, 4, {0, 6}, "cdef"},     // length past the end
      {"abcdef", 100, 5, 6, 0, {0, 6}, ""},         // start past the end
      {"abcdef", 2, -1, 2, 0, {0, 2}, ""},          // negative length selects nothing
  };
  for (const Case& c : cases)
    if (auto b = r.With(c.text)) {
      b->SetSelection(c.start, c.length);
      const std::string at = On(c.text) + "SetSelection(" + Show(c.start) + ", " + Show(c.length) + ") ";
      r.Check(at + "SelStart()", b->SelStart(), c.wantStart);
      r.Check(at + "SelLength()", b->SelLength(), c.wantLength);
      r.Check(at + "Caret()", b->Caret(), c.caret);
      r.Check(at + "SelText()", b->SelText(), c.selText);
    }

  if (auto b = r.With("a\r\nbc")) {
    b->SelectAll();
    r.Check("SelectAll() on \"a\\r\\nbc\": SelStart()", b->SelStart(), Offset{0});
    r.Check("SelectAll() on \"a\\r\\nbc\": SelLength()", b->SelLength(), Offset{5});
    r.Check("SelectAll() on \"a\\r\\nbc\": SelText()", b->SelText(), std::string("a\r\nbc"));
    r.Check("SelectAll() on \"a\\r\\nbc\": Caret()", b->Caret(), CaretPosition{1, 2});
  }
}

// The new text is normalised on its own, never joined to a neighbouring CR
// or LF of the document.
inline void Replacing(Run& r) {
  struct Case {
    std::string text;
    Offset start, length;
    std::string insert, result;
    Offset caret;  // SelStart afterwards; nothing selected
    Offset lines;
  };
  const Case cases[] = {
      {"abcdef", 3, 0, "x\ny", "abcx\r\nydef", 7, 2},
      {"abcdef", 3, 0, "\r", "abc\r\ndef", 5, 2},
      {"abcdef", 3, 0, "\n\r", "abc\r\n\r\ndef", 7, 3},
      {"abc", 3, 0, "\n", "abc\r\n", 5, 1},
      {"ab\r\ncd", 2, 0, "\r", "ab\r\n\r\ncd", 4, 3},  // lone CR just before a CR LF
      {"ab\r\ncd", 4, 0, "\n", "ab\r\n\r\ncd", 6, 3},  // lone LF just after a CR LF
      {"abc\r\ndef", 2, 4, "Z", "abZef", 3, 1},       // across a break
      {"abc\r\ndef", 3, 2, "", "abcdef", 3, 1},       // delete the break itself
      {"abc\r\n", 5, 0, "x", "abc\r\nx", 6, 2},       // on the line after a final break
      {"a\r\nb", 0, 4, "", "", 0, 0},
  };
  for (const Case& c : cases)
    if (auto b = r.With(c.text)) {
      b->SetSelection(c.start, c.length);
      b->ReplaceSelection(c.insert);
      const std::string at = On(c.text) + "replacing (" + Show(c.start) + ", " + Show(c.length) +
                             ") by " + Show(c.insert) + ": ";
      r.Check(at + "Text()", b->Text(), c.result);
      r.Check(at + "TextLength()", b->TextLength(), static_cast<Offset>(c.result.size()));
      r.Check(at + "SelStart()", b->SelStart(), c.caret);
      r.Check(at + "SelLength()", b->SelLength(), Offset{0});
      r.Check(at + "LineCount()", b->LineCount(), c.lines);
    }
}

// Every byte but CR and LF passes through unchanged, NUL and 0x80-0x9F too.
inline void AllBytes(Run& r) {
  std::string bytes;
  for (int c = 0; c < 256; ++c)
    if (c != '\r' && c != '\n') bytes += static_cast<char>(c);

  if (auto b = r.With(bytes)) {
    r.Check("SetText(254 bytes) then Text()", b->Text(), bytes);
    r.Check("SetText(254 bytes) then TextLength()", b->TextLength(), Offset{254});
    r.Check("SetText(254 bytes) then LineCount()", b->LineCount(), Offset{1});
    r.Check("SetText(254 bytes) then Line(0)", b->Line(0), bytes);
    b->SetSelection(1, 253);
    r.Check("SetText(254 bytes) then SelText() of (1, 253)", b->SelText(), bytes.substr(1));
  }
  if (auto b = r.With("[\r\n]")) {
    b->SetSelection(1, 2);
    b->ReplaceSelection(bytes);
    r.Check("ReplaceSelection(254 bytes) over a break: Text()", b->Text(), "[" + bytes + "]");
  }
}

inline void Undoing(Run& r) {
  if (auto b = r.make())
    r.Check("a fresh buffer: CanUndo()", b->CanUndo(), false);

  if (auto b = r.With("abc\r\ndef")) {
    r.Check("after SetText: CanUndo()", b->CanUndo(), false);
    b->SetSelection(1, 5);
    b->ReplaceSelection("X\nY");
    r.Check("replacing (1, 5) of \"abc\\r\\ndef\": Text()", b->Text(), std::string("aX\r\nYef"));
    r.Check("after ReplaceSelection: CanUndo()", b->CanUndo(), true);
    b->Undo();
    r.Check("Undo of that replacement: Text()", b->Text(), std::string("abc\r\ndef"));
    r.Check("Undo of that replacement: LineCount()", b->LineCount(), Offset{2});
    r.Check("Undo of that replacement: Line(1)", b->Line(1), std::string("def"));
  }

  // Two replacements are two steps, even side by side.
  if (auto b = r.With("abc")) {
    b->SetSelection(3, 0);
    b->ReplaceSelection("d");
    b->ReplaceSelection("e");
    r.Check("two insertions: Text()", b->Text(), std::string("abcde"));
    b->Undo();
    r.Check("one Undo after two insertions: Text()", b->Text(), std::string("abcd"));
    b->Undo();
    r.Check("two Undos after two insertions: Text()", b->Text(), std::string("abc"));
  }

  if (auto b = r.With("abc")) {
    b->SetSelection(0, 1);
    b->ReplaceSelection("x");
    b->SetText("new");
    r.Check("SetText after an edit: CanUndo()", b->CanUndo(), false);
    b->Undo();
    r.Check("Undo after SetText: Text()", b->Text(), std::string("new"));
  }

  if (auto b = r.With("abc")) {
    b->SetSelection(0, 3);
    b->ReplaceSelection("");
    b->ClearUndo();
    r.Check("ClearUndo: CanUndo()", b->CanUndo(), false);
    b->Undo();
    r.Check("Undo after ClearUndo: Text()", b->Text(), std::string(""));
  }
}

}  // namespace buffer_cases

inline std::vector<std::string> RunBufferCases(
    const std::function<std::unique_ptr<EditorBuffer>()>& make) {
  buffer_cases::Run run{make, {}};
  buffer_cases::LineCounts(run);
  buffer_cases::Normalising(run);
  buffer_cases::Lines(run);
  buffer_cases::LineOffsets(run);
  buffer_cases::Selections(run);
  buffer_cases::Replacing(run);
  buffer_cases::AllBytes(run);
  buffer_cases::Undoing(run);
  return run.failures;
}

}  // namespace ql
