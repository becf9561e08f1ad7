// The recent-files list in the File menu's submenu and the Open button's
// drop-down, rebuilt each time one opens.
#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMimeDatabase>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <sys/stat.h>

#include "app/RecentList.h"
#include "editor/qt/EditorView.h"
#include "app/qt/MainQuillora.h"
#include "common/FuncLib.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

constexpr int kFixedItems = 3;  // separator, Remove obsolete, Clear recent list

std::optional<std::int64_t> RegularFileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(st.st_size);
}

// The desktop's icon for the file's type; the generic image where the
// icon theme has none.
QIcon FileIcon(const std::string& path, const QIcon& generic) {
  static QMimeDatabase mimes;
  const QMimeType type = mimes.mimeTypeForFile(PathToQ(path), QMimeDatabase::MatchExtension);
  return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), generic));
}

}  // namespace

void TFormQuillora::AddToRecent() {
  ql::AddToRecent(lists_.RecentList, docFileName_, options_.RecentMax);
}

void TFormQuillora::BuildRecentMenu(QMenu* menu) {
  // Everything but the fixed items at the end goes.
  QList<QAction*> items = menu->actions();
  for (int i = 0; i < items.size() - kFixedItems; ++i) {
    menu->removeAction(items[i]);
    items[i]->deleteLater();
  }
  QAction* before = menu->actions().value(0);
  const QIcon generic = style()->standardIcon(QStyle::SP_FileIcon);
  const std::vector<RecentItem> files =
      BuildRecentItems(lists_.RecentList, options_.RecentMax, docFileName_, RegularFileSize);
  for (const RecentItem& item : files) {
    auto* a = new QAction(PathToQ(item.caption), menu);
    a->setStatusTip(PathToQ(item.hint));
    a->setEnabled(item.enabled);
    if (item.enabled) a->setIcon(options_.Checked(Check::DefRecentIconOpt) ? FileIcon(item.path, generic) : generic);
    const int tag = item.tag;
    connect(a, &QAction::triggered, this, [this, tag] {
      // The entry as clicked, whatever happens to the list before it opens.
      if (tag < 0 || tag >= static_cast<int>(lists_.RecentList.size())) return;
      const std::string path = lists_.RecentList[tag];
      RunDocumentCommand("", [this, path] { OpenRecentFile(path); });
    });
    menu->insertAction(before, a);
  }
  if (files.empty()) {
    auto* none = new QAction("No files", menu);
    none->setStatusTip("No files");
    none->setEnabled(false);
    menu->insertAction(before, none);
  }
}

void TFormQuillora::OpenRecent_Cmd(int index) {
  if (index < 0 || index >= static_cast<int>(lists_.RecentList.size())) return;
  // Taken before the prompt: a Save As there changes the list.
  OpenRecentFile(lists_.RecentList[index]);
}

void TFormQuillora::OpenRecentFile(std::string path) {
  DocumentScope scope(*this);
  if (!AskSaveChanges("Save the changed text?")) return;
  if (!IsExistingFile(path)) {
    FileError(1, path);
    return;
  }
  ProcessDocument(dmOpenOther, "Opened from Recent menu:", path);
}

void TFormQuillora::RemoveObsolete_Cmd() { RemoveObsolete(lists_.RecentList, IsExistingFile); }

void TFormQuillora::ClearRecent_Cmd() { ClearRecent(lists_.RecentList); }

void TFormQuillora::RecentList_Popup() {
  if (QMenu* menu = PopupMenu(2)) menu->popup(RichEdit1->mapToGlobal(QPoint(2, 2)));
}

}  // namespace ql
