// Writes "W<id>_<i>" = "café <id> <i>" for i in 0..count-1 into the
// settings file, flushing after each; exits 1 if any write failed.
// Usage: store_hammer <file> <id> <count>
#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "platform/qt/QtSettingsStore.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 4) return 2;
  ql::QtSettingsStore store(QString::fromLocal8Bit(argv[1]));
  const std::string id = argv[2];
  const int count = std::atoi(argv[3]);
  const std::string key = "\\Software\\Norvane Productions\\Quillora\\Hammer";
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    if (!store.WriteString(key, "W" + id + "_" + n, "caf\xE9 " + id + " " + n) || !store.Flush()) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
