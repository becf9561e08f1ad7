#include "dialogs/qt/AssociateDialog.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/FuncLib.h"
#include "platform/qt/Help.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"

namespace ql {

namespace {

QRadioButton* Radio(QVBoxLayout* box, const char* name, const char* caption, const char* hint) {
  auto* r = new QRadioButton(QString::fromUtf8(caption), box->parentWidget());
  r->setObjectName(name);
  r->setToolTip(QString::fromUtf8(hint));
  box->addWidget(r);
  return r;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, const char* hint = "") {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  if (*hint) b->setToolTip(QString::fromUtf8(hint));
  b->setAutoDefault(false);
  return b;
}

QListWidget* CheckList(QWidget* parent, const char* name, const std::vector<TypeItem>& items,
                       const QPalette& colors, const QFont& font) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  list->setToolTip("Choose files to do command with");
  list->setPalette(colors);
  list->setFont(font);
  for (const TypeItem& item : items) {
    auto* row = new QListWidgetItem(QString::fromUtf8(item.caption), list);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    row->setCheckState(Qt::Unchecked);
  }
  return list;
}

// A page: the file kinds' check list on the left, the command group on the
// right; returns the group's layout for the page's radio buttons.
QVBoxLayout* FilePage(QWidget* page, QListWidget*& list, const char* listName,
                      const std::vector<TypeItem>& items, const QPalette& colors, const QFont& font) {
  auto* row = new QHBoxLayout(page);
  auto* files = new QGroupBox("&File handler", page);
  auto* fl = new QVBoxLayout(files);
  list = CheckList(files, listName, items, colors, font);
  fl->addWidget(list);
  auto* cmd = new QGroupBox("C&ommand", page);
  auto* cl = new QVBoxLayout(cmd);
  row->addWidget(files, 1);
  row->addWidget(cmd);
  return cl;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : "\n") + l;
  return out;
}

}  // namespace

FileType ResolveFileType(const std::string& ext) {
  FileType t;
  t.ext = ext;
  const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName("x." + QString::fromStdString(ext));
  const std::string own = OwnMimeType(ext);
  if (types.isEmpty() || types.first().name().toStdString() == own) {
    t.mime = own;
    t.ownDefinition = true;
  } else {
    t.mime = types.first().name().toStdString();
  }
  return t;
}

TFormAssociate::TFormAssociate(QWidget* owner, Store& store, std::uint32_t boxBack, std::uint32_t boxText)
    : QDialog(owner), store_(store) {
  setObjectName("FormAssociate");
  setWindowTitle("Association options");
  QPalette colors = QApplication::palette();
  colors.setColor(QPalette::Base, ToQColor(boxBack, QApplication::palette()));
  colors.setColor(QPalette::Text, ToQColor(boxText, QApplication::palette()));
  const QFont iconTitle = QApplication::font("QListView");

  PageCtrl = new QTabWidget(this);
  PageCtrl->setObjectName("PageCtrl");
  auto* common = new QWidget(PageCtrl);
  common->setObjectName("Common_Sheet");
  QVBoxLayout* cl = FilePage(common, Type1_ChkBox, "Type1_ChkBox", CommonTypes(), colors, iconTitle);
  AssoDefault1_Radio = Radio(cl, "AssoDefault1_Radio", "&Associate (As default)", "Makes selected files open with Quillora");
  AssoRight1_Radio = Radio(cl, "AssoRight1_Radio", "Assoc&iate (Right-click menu)", "Associates with Quillora, but not as default");
  UnAsso1_Radio = Radio(cl, "UnAsso1_Radio", "&UnAssociate with Quillora", "Open selected files with original program");
  AddShellNew1_Radio = Radio(cl, "AddShellNew1_Radio", "Create &ShellNew string", "Make the files appear in 'rightclick/new'");
  DelShellNew1_Radio = Radio(cl, "DelShellNew1_Radio", "&Remove ShellNew string", "Removes the files in 'rightclick/new'");
  cl->addStretch();
  auto* system = new QWidget(PageCtrl);
  system->setObjectName("System_Sheet");
  cl = FilePage(system, Type2_ChkBox, "Type2_ChkBox", SystemTypes(), colors, iconTitle);
  AssoRight2_Radio = Radio(cl, "AssoRight2_Radio", "&Associate (Right-click menu)", "Associates with Quillora, but not as default");
  UnAsso2_Radio = Radio(cl, "UnAsso2_Radio", "&UnAssociate with Quillora", "Open selected files with original program");
  AddShellNew2_Radio = Radio(cl, "AddShellNew2_Radio", "Create '&ShellNew' string(s)", "Make the files appear in 'rightclick/new'");
  DelShellNew2_Radio = Radio(cl, "DelShellNew2_Radio", "&Remove 'ShellNew' string(s)", "Removes the files in 'rightclick/new'");
  cl->addStretch();
  PageCtrl->addTab(common, "Co&mmon files");
  PageCtrl->addTab(system, "S&ystem files");

  auto* status = new QGroupBox("Status", this);
  auto* sl = new QVBoxLayout(status);
  ListView1 = new QTreeWidget(status);
  ListView1->setObjectName("ListView1");
  ListView1->setHeaderLabels({"Type", "Associated", "Key", "ShellNew", "Opens with"});
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setPalette(colors);
  ListView1->setFont(iconTitle);
  ListView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // Room for every row of the longer page.
  ListView1->setMinimumHeight(ListView1->fontMetrics().height() * 15);
  sl->addWidget(ListView1);

  DoCmd_Btn = Button(this, "DoCmd_Btn", "&Associate");
  Update_Btn = Button(this, "Update_Btn", "U&pdate", "Read the current association again");
  SelAll_Btn = Button(this, "SelAll_Btn", "S&el All", "Select All in 'File handler'");
  SelNone_Btn = Button(this, "SelNone_Btn", "Sel &None", "Select None in 'File handler'");
  Help_Btn = Button(this, "Help_Btn", "&Help");
  Close_Btn = Button(this, "Close_Btn", "&Close");
  Close_Btn->setDefault(true);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {DoCmd_Btn, Update_Btn, SelAll_Btn, SelNone_Btn, Help_Btn}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(Close_Btn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageCtrl);
  layout->addWidget(status, 1);
  layout->addLayout(buttons);
  resize(680, 640);

  connect(DoCmd_Btn, &QPushButton::clicked, this, &TFormAssociate::DoCmd_BtnClick);
  connect(Update_Btn, &QPushButton::clicked, this, &TFormAssociate::PreReadFileAsso);
  connect(SelAll_Btn, &QPushButton::clicked, this, [this] { CheckSelection(true); });
  connect(SelNone_Btn, &QPushButton::clicked, this, [this] { CheckSelection(false); });
  connect(Help_Btn, &QPushButton::clicked, this, [] { ShowHelpTopic(92); });
  connect(Close_Btn, &QPushButton::clicked, this, &QDialog::reject);
  connect(PageCtrl, &QTabWidget::currentChanged, this, &TFormAssociate::PreReadFileAsso);
  PreReadFileAsso();
}

const std::vector<TypeItem>& TFormAssociate::PageItems() const {
  return PageCtrl->currentIndex() == 0 ? CommonTypes() : SystemTypes();
}

QListWidget* TFormAssociate::PageList() const { return PageCtrl->currentIndex() == 0 ? Type1_ChkBox : Type2_ChkBox; }

AssocContext TFormAssociate::Context() const {
  AssocContext cx;
  cx.dirs = XdgDirs::FromEnvironment();
  cx.store = &store_;
  cx.programPath = ProgramPath();
  cx.icon = cx.dirs.IconName();
  // A Templates folder set to the home folder itself means "none" (xdg-user-dirs).
  const QString templates = QStandardPaths::writableLocation(QStandardPaths::TemplatesLocation);
  if (!templates.isEmpty() && QDir(templates) != QDir::home()) cx.templatesDir = QToPath(templates);
  for (const auto* page : {&CommonTypes(), &SystemTypes()})
    for (const TypeItem& item : *page)
      for (const char* ext : item.exts) cx.knownTypes.push_back(ResolveFileType(ext));
  return cx;
}

void TFormAssociate::PreReadFileAsso() {
  ListView1->clear();
  const AssocContext cx = Context();
  for (const TypeItem& item : PageItems())
    for (const char* ext : item.exts) {
      const AssocRow row = ReadStatus(cx, ResolveFileType(ext));
      std::string opens = row.opensWith;
      if (!row.overriddenBy.empty()) opens += " (set by " + ExtractFileName(row.overriddenBy) + ")";
      auto* item = new QTreeWidgetItem(ListView1, {Utf8ToQ(row.ext), Utf8ToQ(row.associated), Utf8ToQ(row.mime),
                                                   Utf8ToQ(row.shellNew), PathToQ(opens)});
      if (!row.overriddenBy.empty())
        item->setToolTip(4, PathToQ(row.overriddenBy + " overrides mimeapps.list on this desktop"));
    }
}

int TFormAssociate::ChosenCommand() const {
  const bool common = PageCtrl->currentIndex() == 0;
  const std::vector<std::pair<QRadioButton*, int>> radios =
      common ? std::vector<std::pair<QRadioButton*, int>>{{AssoDefault1_Radio, 1}, {AssoRight1_Radio, 2},
                                                           {UnAsso1_Radio, 3}, {AddShellNew1_Radio, 4},
                                                           {DelShellNew1_Radio, 5}}
             : std::vector<std::pair<QRadioButton*, int>>{{AssoRight2_Radio, 2}, {UnAsso2_Radio, 3},
                                                           {AddShellNew2_Radio, 4}, {DelShellNew2_Radio, 5}};
  for (const auto& r : radios)
    if (r.first->isChecked()) return r.second;
  return 0;
}

void TFormAssociate::DoCmd_BtnClick() {
  const int command = ChosenCommand();
  if (command == 0) {
    MsgBox("Please select a command!", "Information", 64);
    return;
  }
  std::vector<FileType> types;
  QListWidget* list = PageList();
  const std::vector<TypeItem>& items = PageItems();
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked)
      for (const char* ext : items[static_cast<std::size_t>(i)].exts) types.push_back(ResolveFileType(ext));
  if (types.empty()) {
    MsgBox("Select one or more files in the \"File handler\",\nand THEN click \"Do Cmd\"!", "Information", 64);
    return;
  }
  const AssocContext cx = Context();
  AssocReport report = RunAssociation(cx, static_cast<AssocCommand>(command), types);
  if (report.mimePackageWritten) {
    // Other programs learn our types from the compiled database.
    const QString updater = QStandardPaths::findExecutable("update-mime-database");
    const QString dir = PathToQ(cx.dirs.dataHome + "/mime");
    if (!updater.isEmpty() && QProcess::execute(updater, {dir}) != 0)
      report.failures.push_back("update-mime-database could not update \"" + cx.dirs.dataHome + "/mime\".");
  }
  Report(report);
  PreReadFileAsso();
}

void TFormAssociate::Report(const AssocReport& report) {
  if (!report.failures.empty()) {
    std::vector<std::string> lines = report.failures;
    lines.insert(lines.end(), report.notes.begin(), report.notes.end());
    MsgBox(Join(lines), "Association options", 48);
  } else if (!report.notes.empty()) {
    MsgBox(Join(report.notes), "Association options", 64);
  }
}

void TFormAssociate::CheckSelection(bool on) {
  QListWidget* list = PageList();
  for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

}  // namespace ql
