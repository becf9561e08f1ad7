#include "app/RecoveryOffer.h"

#include "common/FuncLib.h"

namespace ql {

namespace {
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
}  // namespace

std::string RecoveryQuestion(const std::vector<OfferedJournal>& journals) {
  std::string text = journals.size() == 1 ? "Quillora ended before this document was saved:\n"
                                          : "Quillora ended before these documents were saved:\n";
  for (const OfferedJournal& j : journals) {
    text += "\n" + (j.document.empty() ? std::string("Untitled") : Quoted(j.document));
    if (!j.changed.empty()) text += "  (last changed " + j.changed + ")";
    if (!j.complete) text += "  (cut short: recovers up to the damage)";
  }
  text +=
      "\n\nYes: open the text again as a changed document.\n"
      "No: keep it and ask again at the next start.\n"
      "Discard: throw the unsaved text away.";
  return text;
}

BaseState CompareBase(const JournalDocument& doc, const FileStamp& now) {
  if (doc.path.empty()) return BaseState::Untitled;
  if (!now.exists) return BaseState::Deleted;
  // Never read or saved: nothing says the file is the one the text came from.
  if (!doc.stamp.exists || doc.stamp != now) return BaseState::Changed;
  return BaseState::Same;
}

std::string RecoveredStatus(const JournalDocument& doc, BaseState base, bool complete) {
  std::string text;
  switch (base) {
    case BaseState::Untitled:
      text = "Recovered: \"Untitled\"";
      break;
    case BaseState::Same:
      text = "Recovered: " + Quoted(ExtractFileName(doc.path));
      break;
    case BaseState::Changed:
      text = "Recovered as Untitled: " + Quoted(doc.path) + " has changed on disk since";
      break;
    case BaseState::Deleted:
      text = "Recovered as Untitled: " + Quoted(doc.path) + " is gone from disk";
      break;
  }
  if (!complete) text += "  (journal cut short: recovered up to the damage)";
  return text;
}

}  // namespace ql
