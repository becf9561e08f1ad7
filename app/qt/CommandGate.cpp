// Document commands one at a time: a save or open that arrives while another
// is running (its prompts, a background load) waits for it to end instead of
// saving or replacing a half-opened document.
#include <QTimer>

#include "app/qt/MainQuillora.h"
#include "app/WindowLogic.h"

namespace ql {

TFormQuillora::DocumentScope::DocumentScope(TFormQuillora& form) : form_(form) {
  ++form_.docDepth_;
  form_.FlushRecovery();  // prompts and file work may take a while
}

TFormQuillora::DocumentScope::~DocumentScope() {
  --form_.docDepth_;
  if (!form_.DocumentCommandRunning() && !form_.pending_.empty())
    QTimer::singleShot(0, &form_, &TFormQuillora::RunPendingCommands);
}

void TFormQuillora::RunDocumentCommand(const std::string& key, std::function<void()> command) {
  if (!DocumentCommandRunning()) {
    command();
    return;
  }
  if (!key.empty())
    for (const auto& waiting : pending_)
      if (waiting.first == key) return;
  pending_.emplace_back(key, std::move(command));
}

void TFormQuillora::RunPendingCommands() {
  if (DocumentCommandRunning() || pending_.empty()) return;
  const std::function<void()> next = std::move(pending_.front().second);
  pending_.erase(pending_.begin());
  next();
  // A command that ran to its end (or did nothing) lets the next one go.
  if (!DocumentCommandRunning() && !pending_.empty())
    QTimer::singleShot(0, this, &TFormQuillora::RunPendingCommands);
}

// ---- the instance command message: commands 2 and 3 ----

void TFormQuillora::QueueExecFileDef() {
  QTimer::singleShot(0, this, [this] {
    RunDocumentCommand("exec", [this] {
      if (DocumentHasFile(docFileName_)) ExecFileDef_Cmd();
    });
  });
}

void TFormQuillora::QueueSaveFile() {
  QTimer::singleShot(0, this, [this] {
    // Asked of the document there is when it runs.
    RunDocumentCommand("save", [this] {
      if (Modified()) SaveFile_Cmd();
    });
  });
}

bool TFormQuillora::DocumentFileExists() const { return DocumentHasFile(docFileName_); }

}  // namespace ql
