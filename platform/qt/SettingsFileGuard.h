// Checks on the settings file found at start, and moving a bad one aside.
// The reasons are phrases that finish "... could not be used because ...".
#pragma once

#include <QString>
#include <optional>

class QSettings;

namespace ql {

// From the file's bytes, before QSettings reads it; nullopt when the file
// is fine or does not exist.
std::optional<QString> SettingsFileProblem(const QString& fileName);

// From what QSettings made of it: parse errors, or keys outside the two
// top-level groups the program uses ("Software", "Control Panel").
std::optional<QString> ParsedSettingsProblem(QSettings& settings);

// The top-level groups the store keeps.
bool IsStoreRootGroup(const QString& group);

// Renames the file to "<file>.bad", or the first free of ".bad.1" ...
// ".bad.99"; never replaces an existing file. The new name, or empty.
QString MoveAside(const QString& fileName);

}  // namespace ql
