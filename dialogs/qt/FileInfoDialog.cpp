#include "dialogs/qt/FileInfoDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/FuncLib.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Shell.h"
#include "tools/qt/DateTimeDialog.h"

namespace ql {

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

void ReportOpenFailure(int result, const std::string& path) {
  if (result == kShellFileNotFound)
    MsgBox("The file doesn't exist!\n" + Quoted(path), "File doesn't exist!", 16);
  else if (result == kShellNoAssociation)
    MsgBox("There was no associations to the file,\nor an error occured getting associated application!",
           "Error executing file!", 16);
}

std::string ChooseFile(QWidget* parent, const std::string& start) {
  QFileDialog dialog(parent, "Open file for info  (v1.67)", PathToQ(start), "All files (*)");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return QToPath(dialog.selectedFiles().front());
}

// The desktop's type of the file a path leads to, and its icons.
struct TypeLook {
  QString name;
  QIcon icon;
};

TypeLook LookOf(const QString& path) {
  const QString target = QFileInfo(path).canonicalFilePath();
  const QMimeType type = QMimeDatabase().mimeTypeForFile(target.isEmpty() ? path : target);
  TypeLook look{type.comment(), QIcon::fromTheme(type.iconName())};
  if (look.icon.isNull()) look.icon = QIcon::fromTheme(type.genericIconName());
  if (look.icon.isNull()) look.icon = QFileIconProvider().icon(QFileInfo(path));
  if (look.name.isEmpty()) look.name = type.name();
  return look;
}

}  // namespace

TFormFileInfo::TFormFileInfo(QWidget* parent, const std::string& path)
    : QDialog(parent, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      path_(path) {
  setObjectName("FormFileInfo");
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  Content_Panel = new QWidget;
  Content_Panel->setObjectName("Content_Panel");

  FileLa_Image = new QLabel;
  FileLa_Image->setObjectName("FileLa_Image");
  FileLa_Image->setToolTip("Shows the large icon for the current file");
  FileLa_Image->setFixedSize(36, 36);
  FileSm_Image = new QLabel;
  FileSm_Image->setObjectName("FileSm_Image");
  FileSm_Image->setToolTip("Shows the small icon for the current file");
  FileSm_Image->setFixedSize(20, 20);
  for (QLabel* icon : {FileLa_Image, FileSm_Image}) {
    icon->setAlignment(Qt::AlignCenter);
    icon->installEventFilter(this);
  }

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  int row = 0;
  const auto caption = [&](const char* text, const char* hint) {
    auto* l = new QLabel(text);
    if (*hint) l->setToolTip(hint);
    grid->addWidget(l, row, 0, Qt::AlignTop);
  };
  const auto line = [&](const char* text, const char* hint, QLabel* value) {
    caption(text, hint);
    grid->addWidget(value, row++, 1);
  };
  line("Name:", "Shows the name of the file", FileName2_Label = ValueLabel("FileName2_Label", "n/a"));
  line("Path:", "Shows the path of the file", PathName2_Label = ValueLabel("PathName2_Label", "n/a"));
  line("Type:", "", Type2_Label = ValueLabel("Type2_Label", "n/a"));
  caption("Size:", "Displays the files size in both bit, bytes, Kilobytes and Megabytes");
  auto* sizes = new QGridLayout;
  sizes->addWidget(SizeBit_Label = ValueLabel("SizeBit_Label", "n/a (Bit)"), 0, 0);
  sizes->addWidget(SizeByte_Label = ValueLabel("SizeByte_Label", "n/a (Bytes)"), 0, 1);
  sizes->addWidget(SizeKb_Label = ValueLabel("SizeKb_Label", "n/a (kilobytes)"), 1, 0);
  sizes->addWidget(SizeMb_Label = ValueLabel("SizeMb_Label", "n/a (Megabytes)"), 1, 1);
  grid->addLayout(sizes, row++, 1);
  line("Created:", "Displays the time the file was created", Created2_Label = ValueLabel("Created2_Label", "n/a"));
  line("Modified:", "Displays the last time the file was modified",
       Modified2_Label = ValueLabel("Modified2_Label", "n/a"));
  line("Accessed:", "Displays the last time the file was accessed\nNo time is given for this function",
       Accessed2_Label = ValueLabel("Accessed2_Label", "n/a"));
  line("8.3 Name:", "Shows the DOS name for the file", DosName2_Label = ValueLabel("DosName2_Label", "n/a"));
  line("8.3 Path:", "Shows the DOS path for the file", DosPath2_Label = ValueLabel("DosPath2_Label", "n/a"));

  caption("Attributes:", "The files attributes");
  const auto box = [](const char* text, const char* name) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    c->setEnabled(false);
    return c;
  };
  ReadOnly_Chk = box("&Read only", "ReadOnly_Chk");
  ReadOnly_Chk->setEnabled(true);
  ReadOnly_Chk->setToolTip(
      "If this checkbox is checked, programs will prompt\nyou before making any changes to the file.");
  Archive_Chk = box("&Archive", "Archive_Chk");
  Hidden_Chk = box("Hi&dden", "Hidden_Chk");
  Hidden_Chk->setToolTip("A name starting with a dot");
  System_Chk = box("S&ystem", "System_Chk");
  Temp_Chk = box("Temporay", "Temp_Chk");
  Dir_Chk = box("Directory", "Dir_Chk");
  auto* attributes = new QGridLayout;
  const QCheckBox* order[] = {ReadOnly_Chk, Archive_Chk, Hidden_Chk, System_Chk, Temp_Chk, Dir_Chk};
  for (int i = 0; i < 6; ++i) attributes->addWidget(const_cast<QCheckBox*>(order[i]), i / 3, i % 3);
  grid->addLayout(attributes, row++, 1);
  grid->setColumnStretch(1, 1);
  connect(ReadOnly_Chk, &QCheckBox::clicked, this, &TFormFileInfo::EnableOkBtn);

  auto* icons = new QHBoxLayout;
  icons->addWidget(FileLa_Image);
  icons->addWidget(FileSm_Image, 0, Qt::AlignBottom);
  icons->addStretch(1);
  auto* content = new QVBoxLayout(Content_Panel);
  content->setContentsMargins(0, 0, 0, 0);
  content->addLayout(icons);
  content->addLayout(grid);

  Save_Btn = new QPushButton("&Save");
  Save_Btn->setObjectName("Save_Btn");
  Save_Btn->setEnabled(false);
  Exec_Btn = new QPushButton("&Execute");
  Exec_Btn->setObjectName("Exec_Btn");
  Close_Btn = new QPushButton("&Close");
  Close_Btn->setObjectName("Close_Btn");
  Close_Btn->setDefault(true);
  for (QPushButton* b : {Save_Btn, Exec_Btn, Close_Btn}) b->setAutoDefault(false);
  connect(Save_Btn, &QPushButton::clicked, this, &TFormFileInfo::SaveAttr_Cmd);
  connect(Exec_Btn, &QPushButton::clicked, this, &TFormFileInfo::Exec_Cmd);
  connect(Close_Btn, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Save_Btn);
  buttons->addWidget(Exec_Btn);
  buttons->addWidget(Close_Btn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Content_Panel);
  layout->addLayout(buttons);
  setMinimumWidth(480);
  FillView();
  // A stray Space must not tick a box.
  Close_Btn->setFocus();
}

QLabel* TFormFileInfo::ValueLabel(const char* name, const char* text) {
  auto* l = new QLabel(text);
  l->setObjectName(name);
  l->setTextFormat(Qt::PlainText);
  l->setCursor(Qt::PointingHandCursor);
  l->setMouseTracking(true);
  l->installEventFilter(this);
  values_.push_back(l);
  return l;
}

bool TFormFileInfo::FillView() {
  setWindowTitle(PathToQ(ExtractFileName(path_)));
  FileDetails d;
  std::string error;
  if (!ReadFileDetails(path_, d, &error)) {
    // A file that vanished keeps what was shown of it; nothing shown yet is an error.
    if (!filled_) FillFailed();
    return false;
  }
  details_ = d;
  filled_ = true;
  Content_Panel->show();
  const QString path = PathToQ(path_);
  const TypeLook look = LookOf(path);
  FileLa_Image->setPixmap(look.icon.pixmap(32, 32));
  FileSm_Image->setPixmap(look.icon.pixmap(16, 16));
  FileName2_Label->setText(PathToQ(d.name));
  PathName2_Label->setText(PathToQ(d.folder));
  Type2_Label->setText(Utf8ToQ(TypeText(d, QToUtf8(look.name))));

  const QLocale locale = QLocale::system();
  const std::array<std::string, 4> sizes =
      SizeTexts(d.size, QToUtf8(locale.groupSeparator()), QToUtf8(locale.decimalPoint()));
  QLabel* const sizeLabels[] = {SizeBit_Label, SizeByte_Label, SizeKb_Label, SizeMb_Label};
  for (int i = 0; i < 4; ++i) sizeLabels[i]->setText(Utf8ToQ(sizes[i]));

  const DateLocale dates = SystemDateLocale();
  const std::string pattern = FileInfoTimePattern(dates);
  Created2_Label->setText(ToQString(FileTimeText(d.created, pattern, dates)));
  Modified2_Label->setText(ToQString(FileTimeText(d.modified, pattern, dates)));
  Accessed2_Label->setText(ToQString(FileTimeText(d.accessed, dates.longDateFormat, dates)));
  DosName2_Label->setText(kNotAvailable);
  DosPath2_Label->setText(kNotAvailable);

  ReadOnly_Chk->setChecked(ReadOnlyMode(d.mode));
  Hidden_Chk->setChecked(HiddenName(d.name));
  Dir_Chk->setChecked(d.isDirectory);
  Save_Btn->setEnabled(false);
  Close_Btn->setDefault(true);
  return true;
}

void TFormFileInfo::FillFailed() {
  Content_Panel->hide();
  MsgBox("There was an error while displaying the file info for the file:\n" + Quoted(path_),
         "Error displaying fileinfo!", 16);
}

std::uint32_t TFormFileInfo::ComposedMode() const {
  return ModeWithReadOnly(details_.mode, ReadOnly_Chk->isChecked());
}

void TFormFileInfo::EnableOkBtn() {
  const bool changed = ComposedMode() != details_.mode;
  Save_Btn->setEnabled(changed);
  Save_Btn->setDefault(changed);
  Close_Btn->setDefault(!changed);
}

void TFormFileInfo::SaveAttr_Cmd() {
  const std::string error = ChangeFileMode(path_, ComposedMode());
  if (!error.empty())
    MsgBox("The attributes of the file:\n" + Quoted(path_) + "\ncould not be changed:\n" + error,
           "Couldn't change attributes!", 16);
  // The view shows what the file really has now.
  FillView();
  EnableOkBtn();
}

void TFormFileInfo::Exec_Cmd() {
  // Handed to the desktop's opener for its type, never run as a program.
  const std::string path = path_;
  ReportOpenFailure(OpenDocument(path, [path](int result) { ReportOpenFailure(result, path); }), path);
}

void TFormFileInfo::ChangeFile_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers all = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
  if (button != Qt::LeftButton || (modifiers & all) != all) return;
  const std::string start = chooserDir_.empty() ? details_.folder : chooserDir_;
  const std::string file = chooser_ ? chooser_(start) : ChooseFile(this, start);
  if (file.empty()) return;
  path_ = file;
  const std::size_t slash = file.rfind('/');
  if (slash != std::string::npos) chooserDir_ = file.substr(0, slash + 1);
  FillView();
}

void TFormFileInfo::Labels_MouseMove(QLabel* label) {
  current_ = label;
  const QString text = label->text();
  const bool copied = QApplication::clipboard()->text() == text;
  label->setToolTip((copied ? "Value copyed:\n\"" : "Copy value:\n\"") + text + "\"");
}

void TFormFileInfo::Labels_MouseDown(QLabel* label) {
  if (!current_) current_ = label;
  QApplication::clipboard()->setText(current_->text());
}

bool TFormFileInfo::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (!label) return false;
  if (label == FileLa_Image || label == FileSm_Image) {
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      ChangeFile_MouseDown(mouse->button(), mouse->modifiers());
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
    Labels_MouseMove(label);
  } else if (event->type() == QEvent::MouseButtonPress &&
             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Labels_MouseDown(label);
    return true;
  }
  return false;
}

}  // namespace ql
