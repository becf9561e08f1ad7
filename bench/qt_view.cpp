// The edit control on big documents (offscreen), timed in-process:
//   qt_view open FILE        read + index + first painted frame; peak memory
//   qt_view edit FILE        keystrokes in the middle, scrolling repaints,
//                            Ctrl+End, word wrap (first screen, exact rows)
//   qt_view longline MB      word wrap on one line of MB megabytes: jump
//                            into its middle, type ten characters
//   qt_view upper FILE OUT   the UPPER CASE command on the whole text,
//                            through the view, written to OUT
// Prints one line of key=value figures for run.sh.
#include <QApplication>
#include <QKeyEvent>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "app/DocumentFile.h"
#include "bench/BenchSupport.h"
#include "common/FuncLib.h"
#include "editor/qt/EditorView.h"
#include "tools/CaseTransforms.h"
#include "tools/TextToolHost.h"

using namespace bench;

namespace {

long PeakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

struct Stats {
  double median = 0, worst = 0;
};
Stats Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v.back()};
}

double readMs = 0, indexMs = 0, adoptMs = 0;

bool Load(ql::EditorView& view, const char* path) {
  auto t = Clock::now();
  ql::LoadedDocument doc = ql::ReadDocumentBytes(path);
  if (doc.status != ql::LoadedDocument::Ok) return false;
  readMs = MsSince(t);
  t = Clock::now();
  auto model = std::make_unique<ql::MemoryBuffer>();
  model->Load(std::move(doc.text));
  indexMs = MsSince(t);
  t = Clock::now();
  view.AdoptDocument(std::move(model));
  adoptMs = MsSince(t);
  return true;
}

// Shown and exposed, so that a repaint really paints.
void Settle(ql::EditorView& view) {
  view.show();
  for (int i = 0; i < 200 && !(view.windowHandle() && view.windowHandle()->isExposed()); ++i) {
    QApplication::processEvents();
    QThread::msleep(5);
  }
  QApplication::processEvents();
}

void Key(ql::EditorView& view, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(&view, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(&view, &release);
}

int Open(const char* path) {
  const auto t0 = Clock::now();
  ql::EditorView view;
  view.resize(1280, 900);
  Settle(view);
  if (!Load(view, path)) return 1;
  view.RepaintNow();
  const double ms = MsSince(t0);
  std::printf("open_ms=%.1f read_ms=%.1f index_ms=%.1f adopt_ms=%.1f peak_mib=%ld length=%lld\n", ms, readMs,
              indexMs, adoptMs, PeakMiB(), static_cast<long long>(view.TextLength()));
  return 0;
}

int Edit(const char* path) {
  ql::EditorView view;
  view.resize(1280, 900);
  Settle(view);
  if (!Load(view, path)) return 1;
  view.RepaintNow();

  // Keystrokes in the middle, each to its repainted frame.
  view.SetSelection(view.TextLength() / 2, 0);
  view.ScrollToCaret();
  view.RepaintNow();
  std::vector<double> keys;
  for (int i = 0; i < 300; ++i) {
    const auto t = Clock::now();
    if (i % 10 == 9)
      Key(view, Qt::Key_Backspace, Qt::NoModifier);
    else
      Key(view, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    view.RepaintNow();
    keys.push_back(MsSince(t));
  }
  const Stats key = Summarise(keys);

  // Full-screen repaints while scrolling a page at a time.
  std::vector<double> frames;
  for (int i = 0; i < 300; ++i) {
    const auto t = Clock::now();
    Key(view, Qt::Key_PageDown, Qt::NoModifier);
    view.RepaintNow();
    frames.push_back(MsSince(t));
  }
  const Stats scroll = Summarise(frames);

  auto t = Clock::now();
  Key(view, Qt::Key_End, Qt::ControlModifier);
  view.RepaintNow();
  const double ctrlEnd = MsSince(t);

  // Word wrap: the first screen at once, then every row exactly.
  view.SetSelection(0, 0);
  view.ScrollToCaret();
  t = Clock::now();
  view.SetWordWrap(true);
  view.RepaintNow();
  const double wrapFirst = MsSince(t);
  while (!view.CountRows(ql::Offset(4) << 20)) {
  }
  const double wrapExact = MsSince(t);

  std::printf("key_median_ms=%.2f key_worst_ms=%.2f scroll_median_ms=%.2f scroll_worst_ms=%.2f "
              "ctrlend_ms=%.2f wrap_first_ms=%.1f wrap_exact_ms=%.1f rows=%lld\n",
              key.median, key.worst, scroll.median, scroll.worst, ctrlEnd, wrapFirst, wrapExact,
              static_cast<long long>(view.RowCount()));
  return 0;
}

int LongLine(long mb) {
  ql::EditorView view;
  view.resize(1280, 900);
  Settle(view);
  std::string line;
  line.reserve(static_cast<std::size_t>(mb) << 20);
  static const char words[] = "lorem ipsum dolor sit amet consectetur ";
  while (line.size() + sizeof words < (static_cast<std::size_t>(mb) << 20)) line.append(words);
  view.SetText(line);
  view.SetWordWrap(true);
  view.RepaintNow();
  auto t = Clock::now();
  view.SetSelection(view.TextLength() / 2, 0);
  view.ScrollToCaret();
  view.RepaintNow();
  const double jump = MsSince(t);
  std::vector<double> keys;
  for (int i = 0; i < 10; ++i) {
    t = Clock::now();
    Key(view, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    view.RepaintNow();
    keys.push_back(MsSince(t));
  }
  const Stats key = Summarise(keys);
  view.SetWordWrap(false);
  // The first key without wrap measures the line up to the caret once.
  std::vector<double> plain;
  for (int i = 0; i < 10; ++i) {
    t = Clock::now();
    Key(view, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    view.RepaintNow();
    plain.push_back(MsSince(t));
  }
  const double noWrapKey = plain.front();
  const Stats plainKey = Summarise(plain);
  std::printf("jump_ms=%.1f key_median_ms=%.2f key_worst_ms=%.2f nowrap_key_ms=%.2f nowrap_key_median_ms=%.2f\n",
              jump, key.median, key.worst, noWrapKey, plainKey.median);
  return 0;
}

int Upper(const char* path, const char* out) {
  ql::EditorView view;
  view.resize(1280, 900);
  Settle(view);
  if (!Load(view, path)) return 1;
  // The window's host without its boxes: the busy bracket stops painting.
  struct ViewHost : ql::TextToolHost {
    ql::EditorView& v;
    explicit ViewHost(ql::EditorView& view) : v(view) {}
    ql::EditorBuffer& Buffer() override { return v; }
    void BeginBulk() override { v.setUpdatesEnabled(false); }
    void EndBulk() override { v.setUpdatesEnabled(true); }
    void TextChanged() override {}
    int Message(const std::string&, const std::string&, unsigned) override { return 0; }
  } host(view);
  const auto t = Clock::now();
  ql::CaseCommand(host, ql::CaseKind::Upper);
  view.RepaintNow();
  const double ms = MsSince(t);
  const ql::LoadedDocument info = ql::ReadDocumentBytes(path);
  if (!WriteWhole(out, ql::DocumentBytes(view.Text(), info.style))) return 1;
  std::printf("upper_ms=%.1f\n", ms);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "open" && argc == 3) return Open(argv[2]);
  if (mode == "edit" && argc == 3) return Edit(argv[2]);
  if (mode == "longline" && argc == 3) return LongLine(std::atol(argv[2]));
  if (mode == "upper" && argc == 4) return Upper(argv[2], argv[3]);
  std::fprintf(stderr, "usage: qt_view open|edit FILE | longline MB | upper FILE OUT\n");
  return 2;
}
