// Saves the settings with find and replace histories of a given length, as
// a copy of the program does. Usage: store_lists <file> <tag> [rounds]
// Without rounds: prints "ready", then for each line "<n>" read from stdin
// saves histories of n entries "<tag><i>" and prints "done". With rounds:
// saves rounds times, round r with (r * 7 + tag length) % 13 entries
// "<tag>-<r>-<i>", and exits (1 if a save failed).
#include <QCoreApplication>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/Options.h"
#include "app/SettingsIO.h"
#include "platform/qt/QtSettingsStore.h"

namespace {

bool Save(ql::Store& store, const std::string& prefix, int n) {
  ql::AppOptions options;
  ql::AppLists lists;
  for (int i = 0; i < n; ++i) {
    lists.FindHistory.push_back(prefix + std::to_string(i));
    lists.ReplaceHistory.push_back("r" + prefix + std::to_string(i));
  }
  return ql::SaveSettings(store, options, lists, std::nullopt, true, false, 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3 && argc != 4) return 2;
  ql::QtSettingsStore store(QString::fromLocal8Bit(argv[1]));
  const std::string tag = argv[2];
  if (argc == 4) {
    int failures = 0;
    for (int r = 0, rounds = std::atoi(argv[3]); r < rounds; ++r)
      if (!Save(store, tag + "-" + std::to_string(r) + "-", (r * 7 + static_cast<int>(tag.size())) % 13)) ++failures;
    return failures == 0 ? 0 : 1;
  }
  std::cout << "ready" << std::endl;
  for (std::string line; std::getline(std::cin, line);) {
    const bool ok = Save(store, tag, std::atoi(line.c_str()));
    std::cout << (ok ? "done" : "failed") << std::endl;
  }
  return 0;
}
