// Checks on the settings file found at start, and moving a bad one aside.
// The reasons are phrases that finish "... could not be used because ...".
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QSettings;

namespace ql {

struct SettingsFileLook {
  // Why the file cannot be used at all (it is moved aside then); nullopt
  // when it is fine, has a few odd lines, or does not exist.
  std::optional<QString> problem;
  int oddLines = 0;
  QByteArray original;  // the bytes looked at
  QByteArray kept;      // without the odd lines (when there are any)
};

// From the file's bytes, before QSettings reads it.
SettingsFileLook LookAtSettingsFile(const QString& fileName);

// Keeps a copy of the file as "<file>.orig" (or ".orig.1" ... ".orig.99",
// never replacing one), then replaces the file by `kept` in one step. Under
// the settings file's own lock, and only while the file still holds
// `original`. Returns the copy's name, or empty with `error` set.
QString KeepCopyAndRewrite(const QString& fileName, const QByteArray& original, const QByteArray& kept,
                           QString& error);

// From what QSettings made of it: parse errors, or keys outside the two
// top-level groups the program uses ("Software", "Control Panel").
std::optional<QString> ParsedSettingsProblem(QSettings& settings);

// The top-level groups the store keeps.
bool IsStoreRootGroup(const QString& group);

// Renames the file to "<file>.bad", or the first free of ".bad.1" ...
// ".bad.99"; never replaces an existing file. The new name, or empty.
QString MoveAside(const QString& fileName);

}  // namespace ql
