// The words around recovery: the start-up question that offers journals
// back, and what the status bar says about a recovered document.
#pragma once

#include <string>
#include <vector>

#include "app/FileStamp.h"
#include "app/RecoveryJournal.h"

namespace ql {

constexpr const char* kRecoveryCaption = "Recover unsaved text?";

struct OfferedJournal {
  std::string document;  // its path, empty for Untitled
  std::string changed;   // time of its last change, as the locale writes it
  bool complete = true;  // false: cut short or damaged at the end
};
std::string RecoveryQuestion(const std::vector<OfferedJournal>& journals);

// How the file a journal was kept for stands now.
enum class BaseState { Untitled, Same, Changed, Deleted };
BaseState CompareBase(const JournalDocument& doc, const FileStamp& now);

// Panel 0 after a recovery.
std::string RecoveredStatus(const JournalDocument& doc, BaseState base, bool complete);

}  // namespace ql
