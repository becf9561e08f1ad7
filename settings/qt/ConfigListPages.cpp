// The Recent List page and the Registry page (the groups and values of our
// settings file).
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/FuncLib.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "settings/qt/ConfigDialog.h"
#include "settings/qt/ConfigHost.h"

namespace ql {

namespace {

constexpr int kListIndexRole = Qt::UserRole;

// Double-clicking the frame around the list shows the window's images.
class DoubleClickFrame : public QWidget {
 public:
  DoubleClickFrame(std::function<void()> onDoubleClick) : onDoubleClick_(std::move(onDoubleClick)) {}

 protected:
  void mouseDoubleClickEvent(QMouseEvent*) override { onDoubleClick_(); }

 private:
  std::function<void()> onDoubleClick_;
};

}  // namespace

QWidget* TFormConfig::BuildRecentPage() {
  auto* page = new DoubleClickFrame([this] { Recent_Panel_DblClick(); });
  page->setObjectName("Recent_Panel");
  Recent_ListView = new QTreeWidget(page);
  Recent_ListView->setObjectName("Recent_ListView");
  Recent_ListView->setHeaderLabels({"Filename", "Size", "Type"});
  Recent_ListView->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  Recent_ListView->setRootIsDecorated(false);
  Recent_ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Recent_ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
  Recent_ListView->header()->setStretchLastSection(false);
  Recent_ListView->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  connect(Recent_ListView, &QTreeWidget::itemSelectionChanged, this, &TFormConfig::RecentList_Change);
  auto button = [page](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, page);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  Clear_Btn = button("Clear_Btn", "Clear recent l&ist");
  RemObs_Btn = button("RemObs_Btn", "Re&move obsolete");
  DelSel_Btn = button("DelSel_Btn", "&Delete selected");
  connect(Clear_Btn, &QPushButton::clicked, this, &TFormConfig::Clear_Cmd);
  connect(RemObs_Btn, &QPushButton::clicked, this, &TFormConfig::RemObs_Cmd);
  connect(DelSel_Btn, &QPushButton::clicked, this, &TFormConfig::DelSel_Cmd);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Clear_Btn, RemObs_Btn, DelSel_Btn}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(Recent_ListView, 1);
  layout->addLayout(buttons);
  return page;
}

void TFormConfig::FillRecentView() {
  // No event pumping here: nothing may change the list while it is read.
  QSignalBlocker quiet(Recent_ListView);
  Recent_ListView->clear();
  const QIcon generic = style()->standardIcon(QStyle::SP_FileIcon);
  if (iconView_) {
    // The window's images, one row each, until the dialog is made again.
    const QList<QIcon> images = host_->ImageList();
    for (int i = 0; i < images.size(); ++i) {
      auto* item = new QTreeWidgetItem(Recent_ListView, {QString("Icon%1").arg(i)});
      item->setIcon(0, images[i]);
      item->setData(0, kListIndexRole, -1);
    }
  }
  for (const RecentRow& row : RecentRows(host_->Lists().RecentList)) {
    auto* item = new QTreeWidgetItem(Recent_ListView);
    item->setText(0, PathToQ(row.path));
    item->setData(0, kListIndexRole, static_cast<qulonglong>(row.listIndex));
    if (IsExistingFile(row.path)) {
      TFileInfo info;
      GetFileDetails(row.path, info);
      item->setText(1, Utf8ToQ(RecentSizeText(FileSizeOf(row.path))));
      item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
      item->setText(2, Utf8ToQ(info.TypeName));
      item->setIcon(0, host_->FileIcon(row.path));
    }
  }
  Recent_ListView->resizeColumnToContents(1);
  Recent_ListView->resizeColumnToContents(2);
  RecentList_Change();
}

void TFormConfig::RecentList_Change() {
  Clear_Btn->setEnabled(Recent_ListView->topLevelItemCount() > 0);
  DelSel_Btn->setEnabled(!Recent_ListView->selectedItems().isEmpty());
}

void TFormConfig::Clear_Cmd() {
  host_->ClearRecent_Cmd();
  FillRecentView();
}

void TFormConfig::RemObs_Cmd() {
  host_->RemoveObsolete_Cmd();
  FillRecentView();
}

void TFormConfig::DelSel_Cmd() {
  // Each row names its own entry: rows skip the empty slots of the list.
  std::vector<std::size_t> entries;
  for (QTreeWidgetItem* item : Recent_ListView->selectedItems()) {
    const QVariant index = item->data(0, kListIndexRole);
    if (index.toLongLong() >= 0) entries.push_back(static_cast<std::size_t>(index.toULongLong()));
  }
  DeleteRecentEntries(host_->Lists().RecentList, entries);
  FillRecentView();
}

void TFormConfig::Recent_Panel_DblClick() {
  iconView_ = true;
  Recent_ListView->setIconSize(QSize(16, 16));
  FillRecentView();
}

// ---- Registry page ----

QWidget* TFormConfig::BuildRegistryPage() {
  auto* page = new QWidget;
  Reg_Combo = new QComboBox(page);
  Reg_Combo->setObjectName("Reg_Combo");
  connect(Reg_Combo, qOverload<int>(&QComboBox::activated), this, &TFormConfig::Reg_Combo_Change);
  Reg_ListView = new QTreeWidget(page);
  Reg_ListView->setObjectName("Reg_ListView");
  Reg_ListView->setHeaderLabels({"Name", "Value"});
  Reg_ListView->setRootIsDecorated(false);
  ClearRegKeyBtn = new QPushButton("Clear Re&gistry Key", page);
  ClearRegKeyBtn->setObjectName("ClearRegKeyBtn");
  ClearRegKeyBtn->setAutoDefault(false);
  connect(ClearRegKeyBtn, &QPushButton::clicked, this, &TFormConfig::ClearRegKey_Cmd);
  auto* note = new QLabel(
      "To clear the registry information on Quillora, click the button \"Clear Registry Key\". If you "
      "select yes to that, all option on Quillora will be deleted.",
      page);
  note->setWordWrap(true);
  RegFile_Label = new QLabel(page);
  RegFile_Label->setObjectName("RegFile_Label");
  RegFile_Label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  RegFile_Label->setWordWrap(true);
  auto* layout = new QGridLayout(page);
  layout->addWidget(Reg_Combo, 0, 0);
  layout->addWidget(ClearRegKeyBtn, 0, 1);
  layout->addWidget(Reg_ListView, 1, 0, 1, 2);
  layout->addWidget(RegFile_Label, 2, 0, 1, 2);
  layout->addWidget(note, 3, 0, 1, 2);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(0, 1);
  return page;
}

void TFormConfig::FillRegKeys() {
  RegFile_Label->setText(PathToQ(host_->SettingsLocation()));
  {
    QSignalBlocker quiet(Reg_Combo);
    Reg_Combo->clear();
    for (const std::string& group : StoreGroups(host_->SettingsStore())) Reg_Combo->addItem(ToQString(group));
    Reg_Combo->setCurrentIndex(0);  // the empty entry: the program's key itself
  }
  Reg_Combo_Change(-1);
}

void TFormConfig::Reg_Combo_Change(int index) {
  Reg_ListView->clear();
  const std::string group = index > 0 ? FromQString(Reg_Combo->itemText(index)) : std::string();
  const QIcon text = QIcon::fromTheme("text-x-generic", style()->standardIcon(QStyle::SP_FileIcon));
  const QIcon time = QIcon::fromTheme("appointment-soon", style()->standardIcon(QStyle::SP_BrowserReload));
  for (const StoreRow& row : StoreRows(host_->SettingsStore(), group)) {
    auto* item = new QTreeWidgetItem(Reg_ListView, {ToQString(row.name), ToQString(row.value)});
    if (row.kind == StoreRow::Text) item->setIcon(0, text);
    if (row.kind == StoreRow::Time) item->setIcon(0, time);
  }
  Reg_ListView->resizeColumnToContents(0);
}

void TFormConfig::ClearRegKey_Cmd() {
  if (MsgBox(kClearStoreText, kClearStoreCaption, 4 + 48) != 6) return;
  {
    // The shutdown must not write the options back.
    QSignalBlocker quiet(checks_[static_cast<int>(Check::SaveAutoOpt)]);
    checks_[static_cast<int>(Check::SaveAutoOpt)]->setChecked(false);
  }
  host_->SetSaveAutomatic(false);
  if (!ClearOptionKeys(host_->SettingsStore()))
    MsgBox("The settings file could not be written:\n\"" + host_->SettingsLocation() + "\"",
           kClearStoreCaption, 16);
  FillRegKeys();
}

}  // namespace ql
