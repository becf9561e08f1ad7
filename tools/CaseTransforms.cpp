#include "tools/CaseTransforms.h"

#include "common/Codepage.h"
#include "common/FuncLib.h"

namespace ql {

std::string ConvertCase(CaseKind kind, std::string text) {
  switch (kind) {
    case CaseKind::Upper: return AnsiUpperStr(std::move(text));
    case CaseKind::Lower: return AnsiLowerStr(std::move(text));
    case CaseKind::Title: return TitleCaseStr(std::move(text));
    case CaseKind::Toggle: return ToggleCaseStr(std::move(text));
  }
  return text;
}

std::string MultiToSingle(const std::string& text, int tag) {
  // Positions counted from 1: A drops the odd ones, B the even ones.
  const std::size_t first = tag == 1 ? 1 : 0;
  const std::size_t n = text.size();
  std::string out(n > first ? (n - first + 1) / 2 : 0, '\0');
  const char* in = text.data() + first;
  for (char& c : out) {
    c = *in;
    in += 2;
  }
  return out;
}

namespace {

// The text a command works on: the selection, or all of it when nothing is
// selected (then selected, ready to be replaced).
std::string TakeText(EditorBuffer& b) {
  if (b.SelLength() > 0) return b.SelText();
  b.SelectAll();
  return b.Text();
}

}  // namespace

void CaseCommand(TextToolHost& host, CaseKind kind) {
  EditorBuffer& b = host.Buffer();
  const Offset start = b.SelStart(), length = b.SelLength();
  BulkScope scope(host);
  if (kind != CaseKind::Title) {
    // A byte-for-byte map: done in the document itself, no copies.
    const ByteMap map = kind == CaseKind::Upper   ? ByteMap{AnsiUpperTable(), AnsiUpperBytes}
                        : kind == CaseKind::Lower ? ByteMap{AnsiLowerTable(), AnsiLowerBytes}
                                                  : ByteMap{ToggleCaseTable(), ToggleCaseBytes};
    if (length == 0) b.SelectAll();
    if (b.MapSelection(map)) host.TextChanged();
    b.SetSelection(start, length);
    return;
  }
  std::string text = TakeText(b);
  std::string converted = ConvertCase(kind, text);
  if (converted != text) {
    b.ReplaceSelection(converted);
    host.TextChanged();
  }
  b.SetSelection(start, length);
}

void CharsetCommand(TextToolHost& host, bool toOem) {
  EditorBuffer& b = host.Buffer();
  const bool whole = b.SelLength() == 0;
  const Offset start = b.SelStart();
  BulkScope scope(host);
  const std::string text = TakeText(b);
  const std::string converted = toOem ? AnsiToOem(text) : OemToAnsi(text);
  if (converted != text) {
    b.ReplaceSelection(converted);
    host.TextChanged();
  }
  if (whole)
    b.SetSelection(start, 0);
  else
    b.SetSelection(b.SelStart() + b.SelLength(), 0);  // after the converted text
}

void MultiToSingleCommand(TextToolHost& host, int tag) {
  EditorBuffer& b = host.Buffer();
  const Offset start = b.SelStart(), length = b.SelLength();
  BulkScope scope(host);
  const std::string text = TakeText(b);
  if (text.empty()) return;
  const Offset from = b.SelStart();
  b.ReplaceSelection(MultiToSingle(text, tag));
  // A dropped CR or LF leaves a lone one that the document turns into a
  // whole break, so the length comes from the document.
  const Offset inserted = b.SelStart() - from;
  host.TextChanged();
  b.SetSelection(start, length >= 1 ? inserted : 0);
}

void CenterSpaceCommand(TextToolHost& host) {
  EditorBuffer& b = host.Buffer();
  if (b.SelLength() == 0) return;
  const std::string text = b.SelText();
  const std::string centred = CenterTrimmed(text);
  if (centred == text) return;
  BulkScope scope(host);
  b.ReplaceSelection(centred);
  host.TextChanged();
}

}  // namespace ql
