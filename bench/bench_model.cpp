// The document model under an edit control's load on a big text:
//   bench_model FILE
// reads FILE (room for edits reserved up front), loads it into the model,
// types into its middle, lays out word wrap at 1280 px with a monospace
// table (first screen, then every row exactly), jumps to the end (Ctrl+End),
// replaces the whole text in one step (copied from the caller's string, then
// handed over) and takes it back; then does the same
// for one 50 MB line without breaks. Prints key=value figures on one line
// per text for run.sh; peak_mib is the process's peak resident memory.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "editor/ColorRuns.h"
#include "editor/MemoryBuffer.h"
#include "editor/WidthTable.h"
#include "editor/WrapLayout.h"

using namespace bench;

namespace {

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB on Linux
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
  double loadMs = 0, firstKeyMs = 0, keyMedianMs = 0, keyWorstMs = 0, firstScreenMs = 0, wrapAllMs = 0,
         ctrlEndMs = 0, jumpMiddleMs = 0, wrapKeyMs = 0, replaceAllMs = 0, undoAllMs = 0, replaceMovedMs = 0, keyColoredMs = 0;
  long long colorRuns = 0;
  long long rows = 0, lines = 0;
};

// Everything after the load, on whatever text doc holds.
void Exercise(ql::MemoryBuffer& doc, Figures& f) {
  const ql::Offset middle = doc.TextLength() / 2;
  // A keystroke in the middle; the first one brings the gap and the line
  // index's step there, the rest are the steady cost.
  doc.SetSelection(middle, 0);
  auto t = Clock::now();
  doc.TypeText("x", false);
  f.firstKeyMs = MsSince(t);
  std::vector<double> keys;
  for (int i = 0; i < 200; ++i) {
    t = Clock::now();
    doc.TypeText(i % 9 == 8 ? " " : "y", false);
    keys.push_back(MsSince(t));
  }
  f.keyMedianMs = Median(keys);
  f.keyWorstMs = *std::max_element(keys.begin(), keys.end());

  // The same with a colored run every 100 bytes (as a coloring tool leaves
  // a whole text), the runs following every keystroke.
  {
    ql::ColorRuns runs;
    for (ql::Offset at = 0; at + 50 < doc.TextLength(); at += 100) runs.SetColor(at, 50, 0x0000FF);
    f.colorRuns = static_cast<long long>(runs.RunCount());
    doc.AddListener(&runs);
    std::vector<double> colored;
    for (int i = 0; i < 200; ++i) {
      t = Clock::now();
      doc.TypeText(i % 9 == 8 ? " " : "c", false);
      colored.push_back(MsSince(t));
    }
    doc.RemoveListener(&runs);
    f.keyColoredMs = Median(colored);
  }

  // Word wrap at 1280 px, 8 px a character, stops every 8 characters.
  ql::WrapIndex wrap(doc);
  const ql::WidthTable table = ql::WidthTable::Monospace(8, 64);
  t = Clock::now();
  wrap.SetLayout(table, 1280);
  const std::vector<ql::WrapIndex::Row> screen = wrap.Rows(0, 60);
  f.firstScreenMs = MsSince(t);

  // Into the middle of the text before the rows were counted: its row and
  // a screen from there.
  t = Clock::now();
  const ql::WrapIndex::Row mid = wrap.RowOfOffset(middle + 12345);
  const std::vector<ql::WrapIndex::Row> around = wrap.RowsOfLineFrom(mid.line, mid.rowInLine, 60);
  f.jumpMiddleMs = MsSince(t);

  t = Clock::now();
  while (!wrap.ComputeSome(8 << 20)) {
  }
  f.wrapAllMs = MsSince(t) + f.firstScreenMs + f.jumpMiddleMs;
  f.rows = wrap.RowCount();
  f.lines = doc.PhysicalLines();

  // Ctrl+End: the end offset, its row and the screen of rows before it.
  t = Clock::now();
  doc.SetSelection(doc.TextLength(), 0);
  const ql::WrapIndex::Row last = wrap.RowOfOffset(doc.CaretOffset());
  const ql::Offset lastRow = wrap.FirstRowOfLine(last.line) + last.rowInLine;
  const std::vector<ql::WrapIndex::Row> end = wrap.Rows(std::max<ql::Offset>(0, lastRow - 59), 60);
  f.ctrlEndMs = MsSince(t);

  // A keystroke with wrap on: the edit plus the row of the caret again.
  doc.SetSelection(middle, 0);
  std::vector<double> wrapKeys;
  for (int i = 0; i < 50; ++i) {
    t = Clock::now();
    doc.TypeText("z", false);
    wrap.RowOfOffset(doc.CaretOffset());
    wrapKeys.push_back(MsSince(t));
  }
  f.wrapKeyMs = Median(wrapKeys);

  // The whole text replaced in one step (what a whole-text tool does), then
  // taken back.
  std::string upper = doc.Text();
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  t = Clock::now();
  doc.SelectAll();
  doc.ReplaceSelection(upper);
  f.replaceAllMs = MsSince(t);
  std::string().swap(upper);
  t = Clock::now();
  doc.Undo();
  f.undoAllMs = MsSince(t);
  // The same handing the result over instead of copying it, built with the
  // room a string grown by appending has.
  upper.reserve(static_cast<std::size_t>(doc.TextLength() + doc.TextLength() / 8));
  upper.resize(static_cast<std::size_t>(doc.TextLength()));
  doc.CopyRange(0, doc.TextLength(), &upper[0]);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  t = Clock::now();
  doc.SelectAll();
  doc.ReplaceSelection(std::move(upper));
  f.replaceMovedMs = MsSince(t);
  doc.Undo();
  if (screen.empty() || end.empty() || around.empty()) std::fprintf(stderr, "no rows laid out\n");
}

void Print(const char* what, double bytes, double readMs, const Figures& f) {
  std::printf(
      "text=%s mib=%.1f read_ms=%.1f load_ms=%.1f lines=%lld rows=%lld peak_mib=%.0f first_key_ms=%.3f "
      "key_median_ms=%.4f key_worst_ms=%.3f first_screen_ms=%.2f wrap_all_ms=%.1f ctrl_end_ms=%.3f "
      "jump_middle_ms=%.3f wrap_key_ms=%.4f replace_all_ms=%.1f undo_all_ms=%.1f replace_moved_ms=%.1f "
      "key_colored_ms=%.4f color_runs=%lld\n",
      what, bytes / 1048576.0, readMs, f.loadMs, f.lines, f.rows, PeakMiB(), f.firstKeyMs, f.keyMedianMs,
      f.keyWorstMs, f.firstScreenMs, f.wrapAllMs, f.ctrlEndMs, f.jumpMiddleMs, f.wrapKeyMs, f.replaceAllMs,
      f.undoAllMs, f.replaceMovedMs, f.keyColoredMs, f.colorRuns);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: bench_model FILE [LINE_MB]\n");
    return 2;
  }
  {
    const auto start = Clock::now();
    std::string text;
    if (!ReadWhole(argv[1], text, ql::GapBuffer::Room)) {
      std::fprintf(stderr, "cannot read %s\n", argv[1]);
      return 1;
    }
    const double readMs = MsSince(start);
    const double bytes = static_cast<double>(text.size());
    Figures f;
    ql::MemoryBuffer doc;
    const auto t = Clock::now();
    doc.Load(std::move(text));
    f.loadMs = MsSince(t);
    const double loadedPeak = PeakMiB();
    Exercise(doc, f);
    std::printf("load_peak_mib=%.0f ", loadedPeak);
    Print("file", bytes, readMs, f);
  }
  // One line of words without a break (the file's text with its breaks
  // turned into blanks is too big to keep beside it; build it afresh).
  const double lineMb = argc == 3 ? std::atof(argv[2]) : 50;
  if (lineMb > 0) {
    const std::size_t size = static_cast<std::size_t>(lineMb * 1048576);
    std::string line;
    line.reserve(size + ql::GapBuffer::Room(size));
    static const char* const words[] = {"wrap", "the", "long", "line", "\xE9t\xE9", "of", "words", "\t"};
    for (unsigned i = 0; line.size() < size; ++i) {
      line += words[(i * 2654435761u >> 7) % 8];
      line += ' ';
    }
    Figures f;
    ql::MemoryBuffer doc;
    const auto t = Clock::now();
    doc.Load(std::move(line));
    f.loadMs = MsSince(t);
    Exercise(doc, f);
    Print("line", static_cast<double>(size), 0, f);
  }
  return 0;
}
