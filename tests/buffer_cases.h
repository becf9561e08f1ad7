// The offset rules every EditorBuffer must keep, as plain checks that any
// test framework can run: RunBufferCases returns one message per failed
// check, empty when all pass. A random walk of edits and undos is compared
// with a plain string; the tables hold what that walk never reaches (odd
// breaks given to SetText, offsets out of range or between CR and LF).
//
// Only what a caller can observe is checked, so a buffer over a widget runs
// the same checks as the in-memory one.
#pragma once

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "editor/EditorBuffer.h"

namespace ql {

namespace buffer_cases {

// ---- naive models ----

inline std::vector<Offset> NaiveStarts(const std::string& text) {
  std::vector<Offset> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(static_cast<Offset>(i + 1));
  return starts;
}

inline std::string NaiveNormalize(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;  // the LF writes it
    out += (s[i] == '\r' || s[i] == '\n') ? std::string("\r\n") : std::string(1, s[i]);
  }
  return out;
}

// Never between a CR and its LF, as the document's callers promise.
inline Offset Boundary(const std::string& text, Offset pos) {
  pos = std::min(pos, static_cast<Offset>(text.size()));
  if (pos > 0 && text[pos - 1] == '\r') --pos;
  return pos;
}
inline Offset RandomBoundary(std::mt19937& rng, const std::string& text) {
  return Boundary(text, std::uniform_int_distribution<Offset>(0, static_cast<Offset>(text.size()))(rng));
}
// A short stretch from pos, so the text grows over the run.
inline Offset NearBoundary(std::mt19937& rng, const std::string& text, Offset pos) {
  return Boundary(text, pos + std::uniform_int_distribution<Offset>(0, 8)(rng));
}

// Text made of pieces that may carry any kind of break, a NUL and a
// no-break space.
inline std::string RandomText(std::mt19937& rng, int maxPieces, bool onlyCrLf) {
  static const std::string pieces[] = {"a", "bc", "\r\n", "\r", "\n", "\xA0", std::string(1, '\0')};
  const int kinds = onlyCrLf ? 3 : 7;
  std::string out;
  const int n = std::uniform_int_distribution<int>(0, maxPieces)(rng);
  for (int i = 0; i < n; ++i) out += pieces[std::uniform_int_distribution<int>(0, kinds - 1)(rng)];
  return out;
}

// Text as a C-like literal, so CR, LF and high bytes stay readable.
inline std::string Show(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    char one[8];
    const bool plain = c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
    std::snprintf(one, sizeof one, plain ? "%c" : "\\x%02X", c);
    out += one;
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

// Each text as set, as kept (every break CR LF, each lone CR or LF one
// break), its counted lines and every line the caret can stand on. Every
// line is checked at its start, its end and between its CR and LF.
inline void Lines(Run& r) {
  struct Case {
    std::string in, text;
    Offset count;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", "", 0, {""}},
      {"abc", "abc", 1, {"abc"}},
      {"abc\r\n", "abc\r\n", 1, {"abc", ""}},
      {"a\r\n\r\n", "a\r\n\r\n", 2, {"a", "", ""}},
      {"abc\r\ndef", "abc\r\ndef", 2, {"abc", "def"}},
      {"a\nb\n", "a\r\nb\r\n", 2, {"a", "b", ""}},
      {"a\rb", "a\r\nb", 2, {"a", "b"}},
      {"x\r", "x\r\n", 1, {"x", ""}},
      {"\n\r", "\r\n\r\n", 2, {"", "", ""}},             // LF then CR is two breaks
      {"\r\r\n\n", "\r\n\r\n\r\n", 3, {"", "", "", ""}},  // lone CR, CR LF, lone LF
  };
  for (const Case& c : cases) {
    auto b = r.With(c.in);
    if (!b) continue;
    const std::string on = On(c.in);
    r.Check(on + "Text()", b->Text(), c.text);
    r.Check(on + "TextLength()", b->TextLength(), static_cast<Offset>(c.text.size()));
    r.Check(on + "LineCount()", b->LineCount(), c.count);
    const Offset n = static_cast<Offset>(c.lines.size());
    Offset start = 0;
    for (Offset i = 0; i < n; ++i) {
      const std::string at = on + "line " + Show(i) + " ";
      const Offset end = start + static_cast<Offset>(c.lines[i].size());
      r.Check(at + "Line()", b->Line(i), c.lines[i]);
      r.Check(at + "LineToOffset()", b->LineToOffset(i), start);
      r.Check(at + "OffsetToLine(start)", b->OffsetToLine(start), i);
      r.Check(at + "OffsetToLine(end)", b->OffsetToLine(end), i);
      if (i + 1 < n) r.Check(at + "OffsetToLine(between CR and LF)", b->OffsetToLine(end + 1), i);
      start = end + 2;
    }
    r.Check(on + "Line(-1)", b->Line(-1), std::string());
    r.Check(on + "Line(past the last)", b->Line(n), std::string());
    r.Check(on + "LineToOffset(-1)", b->LineToOffset(-1), Offset{-1});
    r.Check(on + "LineToOffset(past the last)", b->LineToOffset(n), Offset{-1});
    r.Check(on + "OffsetToLine(-1)", b->OffsetToLine(-1), Offset{0});
    r.Check(on + "OffsetToLine(far past the end)", b->OffsetToLine(b->TextLength() + 100), n - 1);
  }
}

// SetSelection clamps; an offset between CR and LF goes back to the CR.
inline void Selections(Run& r) {
  struct Case {
    std::string text;
    Offset start, length;
    Offset wantStart, wantLength;
    CaretPosition caret;
    std::string selText;
  };
  const Case cases[] = {
      {"abc\r\ndef", 4, 0, 3, 0, {0, 3}, ""},      // between CR and LF
      {"abc\r\ndef", 3, 2, 3, 2, {1, 0}, "\r\n"},  // a selected break is two characters
      {"abc\r\ndef", 3, 1, 3, 0, {0, 3}, ""},      // the end snaps back too
      {"abc\r\ndef", 4, 2, 3, 3, {1, 1}, "\r\nd"},  // so does the start, the end stays
      {"abc\r\n", 5, 0, 5, 0, {1, 0}, ""},          // after a final break: the uncounted line
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
    r.Check("SelectAll(): SelStart()", b->SelStart(), Offset{0});
    r.Check("SelectAll(): SelText()", b->SelText(), std::string("a\r\nbc"));
    r.Check("SelectAll(): Caret()", b->Caret(), CaretPosition{1, 2});
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
  if (auto b = r.make()) r.Check("a fresh buffer: CanUndo()", b->CanUndo(), false);
  // Two replacements are two steps, even side by side.
  if (auto b = r.With("abc")) {
    b->SetSelection(3, 0);
    b->ReplaceSelection("d");
    b->ReplaceSelection("e");
    b->Undo();
    r.Check("one Undo after two insertions: Text()", b->Text(), std::string("abcd"));
    b->Undo();
    r.Check("two Undos after two insertions: Text()", b->Text(), std::string("abc"));
  }
  // SetText and ClearUndo both forget what came before.
  for (const bool clear : {false, true})
    if (auto b = r.With("abc")) {
      b->SetSelection(0, 3);
      b->ReplaceSelection("");
      clear ? b->ClearUndo() : b->SetText("");
      const std::string at = clear ? "after ClearUndo: " : "SetText after an edit: ";
      r.Check(at + "CanUndo()", b->CanUndo(), false);
      b->Undo();
      r.Check(at + "Text() after Undo", b->Text(), std::string(""));
    }
}

// Random edits and undos against a plain string, every query compared after
// every step. New text is normalised on its own, never joined to a
// neighbouring CR or LF of the document.
inline void RandomEdits(Run& r, int steps) {
  const std::string first = "start\nof\r\rtext";
  auto b = r.With(first);
  if (!b) return;
  std::mt19937 rng(20240611);
  std::string model = NaiveNormalize(first);
  std::vector<std::string> history;  // texts before each edit still undoable
  for (int step = 0; step < steps && r.failures.empty(); ++step) {
    const std::string at = "random step " + std::to_string(step) + ": ";
    const int op = std::uniform_int_distribution<int>(0, 9)(rng);
    if (op == 0 && !history.empty()) {
      b->Undo();
      model = history.back();
      history.pop_back();
    } else if (op == 1) {
      // A byte map: swapping letters keeps the breaks, turning 'a' into a
      // LF makes new ones, and the identity changes nothing.
      const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
      const Offset from = std::min(a, e), to = std::max(a, e);
      const int kind = std::uniform_int_distribution<int>(0, 2)(rng);
      unsigned char table[256];
      for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
      if (kind == 0) std::swap(table['a'], table['b']);
      if (kind == 1) table['a'] = '\n';
      b->SetSelection(from, to - from);
      std::string mapped = model.substr(from, to - from);
      for (char& ch : mapped) ch = static_cast<char>(table[static_cast<unsigned char>(ch)]);
      const bool changed = mapped != model.substr(from, to - from);
      if (kind == 1) mapped = NaiveNormalize(mapped);
      r.Check(at + "MapSelection()", b->MapSelection(ByteMap{table}), changed);
      if (changed) {
        history.push_back(model);
        model.replace(from, to - from, mapped);
      }
      r.Check(at + "SelStart() after mapping", b->SelStart(), from);
      r.Check(at + "SelLength() after mapping", b->SelLength(), changed ? static_cast<Offset>(mapped.size()) : to - from);
    } else {
      const Offset a = RandomBoundary(rng, model), e = NearBoundary(rng, model, a);
      const Offset from = std::min(a, e), to = std::max(a, e);
      b->SetSelection(from, to - from);
      r.Check(at + "SelText()", b->SelText(), model.substr(from, to - from));
      const std::string insert = RandomText(rng, 8, false);
      const std::string normal = NaiveNormalize(insert);
      if (from != to || !normal.empty()) history.push_back(model);
      b->ReplaceSelection(insert);
      model.replace(from, to - from, normal);
      r.Check(at + "SelStart() after replacing", b->SelStart(), from + static_cast<Offset>(normal.size()));
      r.Check(at + "SelLength() after replacing", b->SelLength(), Offset{0});
    }
    r.Check(at + "CanUndo()", b->CanUndo(), !history.empty());
    r.Check(at + "Text()", b->Text(), model);
    r.Check(at + "TextLength()", b->TextLength(), static_cast<Offset>(model.size()));
    const std::vector<Offset> starts = NaiveStarts(model);
    const Offset physical = static_cast<Offset>(starts.size());
    const bool lastEmpty = starts.back() == static_cast<Offset>(model.size());
    r.Check(at + "LineCount()", b->LineCount(), lastEmpty ? physical - 1 : physical);
    for (Offset i = 0; i < physical; ++i) {
      const Offset end = i + 1 < physical ? starts[i + 1] - 2 : static_cast<Offset>(model.size());
      r.Check(at + "LineToOffset(" + Show(i) + ")", b->LineToOffset(i), starts[i]);
      r.Check(at + "Line(" + Show(i) + ")", b->Line(i), model.substr(starts[i], end - starts[i]));
    }
    r.Check(at + "LineToOffset(past the last)", b->LineToOffset(physical), Offset{-1});
    const Offset probe = RandomBoundary(rng, model);
    const Offset line = std::upper_bound(starts.begin(), starts.end(), probe) - starts.begin() - 1;
    r.Check(at + "OffsetToLine(" + Show(probe) + ")", b->OffsetToLine(probe), line);
    b->SetSelection(0, probe);
    r.Check(at + "Caret()", b->Caret(), CaretPosition{line, probe - starts[line]});
  }
}

}  // namespace buffer_cases

inline std::vector<std::string> RunBufferCases(const std::function<std::unique_ptr<EditorBuffer>()>& make,
                                               int randomSteps) {
  buffer_cases::Run run{make, {}};
  buffer_cases::Lines(run);
  buffer_cases::Selections(run);
  buffer_cases::AllBytes(run);
  buffer_cases::Undoing(run);
  buffer_cases::RandomEdits(run, randomSteps);
  return run.failures;
}

}  // namespace ql
