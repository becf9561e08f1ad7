// A window that types a scripted edit sequence with its recovery journal on,
// waits until the journal is on the disk, writes the text and caret it
// expects back to EXPECTED, types a little more (never flushed), prints
// "ready" and waits to be killed.
// Usage: journal_typist FOLDER OWNER EXPECTED [FILE]
#include <QApplication>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/qt/MainQuillora.h"
#include "app/qt/RecoveryKeeper.h"
#include "editor/qt/EditorView.h"
#include "platform/Store.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  static char name[] = "journal_typist";
  char* qtArgv[] = {name, nullptr};
  int qtArgc = 1;
  QApplication app(qtArgc, qtArgv);
  ql::MemoryStore store;
  ql::TFormQuillora form(store, {});
  form.SetInstanceStarter([](const std::vector<std::string>&, const std::string&) {});
  form.EnableRecovery(argv[1], argv[2]);
  form.Start();
  if (argc > 4 && !form.ProcessDocument(ql::TFormQuillora::dmOpen, "Opened:", argv[4])) return 3;

  ql::EditorView& view = *form.Editor();
  view.SetSelection(view.TextLength(), 0);
  view.Type("Typed at the end");
  view.Type("\r");
  view.Type("second");
  view.SetSelection(0, 0);
  view.Type(">> ");
  view.SetSelection(3, 5);
  view.ReplaceSelection("[replaced]");
  view.Type(" and more");
  view.Undo();
  form.Recovery()->Wait();  // a first batch on the disk
  view.SetSelection(view.TextLength(), 0);
  view.Type(" tail");
  view.SetAnchorCaret(view.TextLength() - 2, 4);
  form.Recovery()->Wait();
  if (form.Recovery()->JournalPath().empty()) return 4;

  {
    std::ofstream out(std::string(argv[3]) + ".part", std::ios::binary);
    out << view.Anchor() << ' ' << view.CaretOffset() << '\n' << form.EditorText();
  }
  std::rename((std::string(argv[3]) + ".part").c_str(), argv[3]);
  // Typed after the last write: the timer never runs again, so this is lost.
  view.Type(" LOST");
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) pause();
}
