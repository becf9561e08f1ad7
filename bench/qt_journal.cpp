// The recovery journal on a big document (offscreen), timed in-process:
//   qt_journal FILE
// Typing into the middle of FILE in the edit control with the journal off,
// then on (the keystroke alone, as the window pays it), the timer's flush
// on the window's thread, and the snapshot of the whole document: what the
// window's thread pays to hand it over and how long the writer's thread
// takes to put it on the disk. Prints one line of key=value figures.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/DocumentFile.h"
#include "app/qt/RecoveryKeeper.h"
#include "bench/BenchSupport.h"
#include "editor/qt/EditorView.h"

using namespace bench;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
double Worst(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

void Key(ql::EditorView& view, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&view, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(&view, &release);
}

// Keystrokes in the middle: a letter, and every tenth a backspace.
std::vector<double> Type(ql::EditorView& view, int count, ql::RecoveryKeeper* keeper,
                         std::vector<double>* flushes) {
  std::vector<double> keys;
  for (int i = 0; i < count; ++i) {
    const auto t = Clock::now();
    if (i % 10 == 9)
      Key(view, Qt::Key_Backspace, {});
    else
      Key(view, Qt::Key_A, QStringLiteral("a"));
    keys.push_back(MsSince(t));
    // The timer's flush, about once a second of typing at 20 keys a second.
    if (keeper && i % 20 == 19) {
      const auto f = Clock::now();
      keeper->Flush();
      flushes->push_back(MsSince(f));
    }
  }
  return keys;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  static char name[] = "qt_journal";
  char* qtArgv[] = {name, nullptr};
  int qtArgc = 1;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(qtArgc, qtArgv);
  ql::LoadedDocument doc = ql::ReadDocumentBytes(argv[1]);
  if (doc.status != ql::LoadedDocument::Ok) return 1;
  auto model = std::make_unique<ql::MemoryBuffer>();
  model->Load(std::move(doc.text));
  ql::EditorView view;
  view.resize(1280, 900);
  view.AdoptDocument(std::move(model));
  view.SetSelection(view.TextLength() / 2, 0);

  const int keys = 2000;
  Type(view, 200, nullptr, nullptr);  // warm up
  const std::vector<double> off = Type(view, keys, nullptr, nullptr);

  QTemporaryDir dir;
  ql::RecoveryKeeper keeper(
      view, [] { return ql::JournalDocument{}; }, [](const std::string&) {});
  const std::string owner = "instance-" + std::to_string(getpid()) + "-1";
  if (!keeper.Enable((dir.path() + "/recovery").toStdString(), owner)) return 1;
  // The journal starts with a snapshot of the whole text, handed over a
  // slice per timer tick; the window's thread pays only for the slices.
  keeper.Dirty();
  std::vector<double> slices;
  const auto start = Clock::now();
  do {
    const auto t = Clock::now();
    keeper.Flush();
    slices.push_back(MsSince(t));
  } while (keeper.Building());
  double sliceTotal = 0;
  for (double s : slices) sliceTotal += s;
  keeper.Wait();
  const double snapshotDisk = MsSince(start);

  std::vector<double> flushes;
  const std::vector<double> on = Type(view, keys, &keeper, &flushes);
  keeper.Wait();
  const double rise = Median(on) - Median(off);
  std::printf(
      "length=%lld key_off_median_ms=%.4f key_on_median_ms=%.4f key_rise_ms=%.4f key_off_worst_ms=%.3f "
      "key_on_worst_ms=%.3f flush_median_ms=%.4f flush_worst_ms=%.3f snapshot_slices=%zu "
      "snapshot_ui_ms=%.1f snapshot_slice_worst_ms=%.1f snapshot_written_ms=%.1f\n",
      static_cast<long long>(view.TextLength()), Median(off), Median(on), rise, Worst(off), Worst(on),
      Median(flushes), Worst(flushes), slices.size(), sliceTotal, Worst(slices), snapshotDisk);
  keeper.Clean();
  keeper.Wait();
  return 0;
}
