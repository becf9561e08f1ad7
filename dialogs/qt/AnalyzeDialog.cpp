#include "dialogs/qt/AnalyzeDialog.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/FuncLib.h"
#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

// A theme icon, or our own small drawing where the theme has none.
QIcon MakeIcon(const char* themeName, QColor color, const QString& glyph) {
  QIcon icon = QIcon::fromTheme(themeName);
  if (!icon.isNull()) return icon;
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(color);
  p.setPen(color.darker(140));
  p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
  QFont f = p.font();
  f.setPixelSize(11);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, glyph);
  return QIcon(pm);
}

QIcon RowIcon(int number) {
  switch (number) {
    case kIconType: return MakeIcon("document-properties", QColor(90, 90, 160), "i");
    case kIconCount: return MakeIcon("accessories-calculator", QColor(60, 130, 60), "#");
    case kIconText: return MakeIcon("text-x-generic", QColor(120, 120, 120), "T");
    case kIconHtml: return MakeIcon("text-html", QColor(200, 110, 30), "<");
    case kIconTitle: return MakeIcon("format-text-bold", QColor(40, 90, 170), "H");
    default: return QIcon();
  }
}

QIcon LinkIcon(LinkKind kind) {
  switch (kind) {
    case LinkKind::Web: return MakeIcon("applications-internet", QColor(30, 100, 200), "W");
    case LinkKind::Mail: return MakeIcon("mail-message", QColor(40, 150, 70), "@");
    case LinkKind::MissingFile: return MakeIcon("dialog-error", QColor(200, 40, 40), "!");
    case LinkKind::Anchor: return MakeIcon("go-jump", QColor(110, 110, 110), "#");
    case LinkKind::LocalFile: break;
  }
  return QIcon();
}

QTreeWidget* NewList(const char* name, const QStringList& columns) {
  auto* list = new QTreeWidget;
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setHeaderLabels(columns);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  list->setUniformRowHeights(true);
  list->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  return list;
}

// Windows-1252 text on one line of a list.
QString ListText(const std::string& text) {
  QString s = ToQString(text);
  s.replace(QLatin1String("\r\n"), QLatin1String(" "));
  return s;
}

}  // namespace

std::string FileTypeName(const std::string& path) {
  if (!IsExistingFile(path)) return "";
  static QMimeDatabase mimes;
  return QToUtf8(mimes.mimeTypeForFile(PathToQ(path)).comment());
}

TFormAnalyze::TFormAnalyze(QWidget* parent, AnalyzeInput input)
    : QDialog(parent, Qt::Tool | Qt::WindowCloseButtonHint), input_(std::move(input)) {
  setObjectName("FormAnalyze");
  setWindowTitle("Page Analyzer - " + PathToQ(ExtractFileName(input_.docFileName)));
  setSizeGripEnabled(true);
  Gen_ListView = NewList("Gen_ListView", {"Name", "Value"});
  Link_ListView = NewList("Link_ListView", {"Name", "Link location", "Size"});
  Link_ListView->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  for (QTreeWidget* list : {Gen_ListView, Link_ListView}) {
    QPalette p = list->palette();
    p.setColor(QPalette::Base, ToQColor(input_.boxBack, p));
    p.setColor(QPalette::Text, ToQColor(input_.boxText, p));
    list->setPalette(p);
  }
  PageControl1 = new QTabWidget;
  PageControl1->setObjectName("PageControl1");
  PageControl1->addTab(Gen_ListView, "&General");
  PageControl1->addTab(Link_ListView, "&Links");
  Close_Btn = new QPushButton("&Close");
  Close_Btn->setObjectName("Close_Btn");
  Close_Btn->setDefault(true);
  connect(Close_Btn, &QPushButton::clicked, this, &QDialog::accept);
  connect(Link_ListView, &QTreeWidget::itemSelectionChanged, this, &TFormAnalyze::Link_ListViewSelectItem);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Close_Btn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);
  resize(620, 400);
  Analyze();
}

void TFormAnalyze::Analyze() {
  analysis_ = AnalyzePage(input_.docFileName, FileTypeName(input_.docFileName), input_.text, input_.lineCount);
  for (const GeneralRow& row : analysis_.general) {
    auto* item = new QTreeWidgetItem(Gen_ListView);
    item->setText(0, Utf8ToQ(row.name));
    item->setText(1, row.name == "Title:" ? ListText(row.value) : Utf8ToQ(row.value));
    item->setIcon(0, RowIcon(row.icon));
  }
  QFileIconProvider shellIcons;
  // Made once: a page may hold tens of thousands of links.
  const QIcon kinds[] = {LinkIcon(LinkKind::Web), LinkIcon(LinkKind::Mail), LinkIcon(LinkKind::MissingFile),
                         QIcon(), LinkIcon(LinkKind::Anchor)};
  LinkPositions.clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<int>(analysis_.links.size()));
  for (const LinkRow& link : analysis_.links) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, ListText(link.anchor.name));
    item->setText(1, ListText(link.anchor.location));
    item->setText(2, Utf8ToQ(link.size));
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    item->setIcon(0, link.kind == LinkKind::LocalFile ? shellIcons.icon(QFileInfo(PathToQ(link.path)))
                                                      : kinds[static_cast<int>(link.kind)]);
    items.append(item);
    LinkPositions.emplace_back(link.anchor.start, link.anchor.end);
  }
  Link_ListView->addTopLevelItems(items);
  for (QTreeWidget* list : {Gen_ListView, Link_ListView}) {
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    list->resizeColumnToContents(0);
    if (list->columnWidth(0) > 230) list->setColumnWidth(0, 230);
  }
  // The size stays in view; the location takes what is left.
  Link_ListView->header()->setStretchLastSection(false);
  Link_ListView->setColumnWidth(2, 100);
  Link_ListView->setColumnWidth(1, 620 - 60 - Link_ListView->columnWidth(0) - 100);
}

void TFormAnalyze::Link_ListViewSelectItem() {
  const QList<QTreeWidgetItem*> chosen = Link_ListView->selectedItems();
  if (chosen.isEmpty()) return;
  const int row = Link_ListView->indexOfTopLevelItem(chosen.front());
  if (row < 0 || static_cast<std::size_t>(row) >= LinkPositions.size() || !input_.select) return;
  const auto& [start, end] = LinkPositions[static_cast<std::size_t>(row)];
  input_.select(start, end - start);
}

}  // namespace ql
