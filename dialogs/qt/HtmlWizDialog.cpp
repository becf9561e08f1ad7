#include "dialogs/qt/HtmlWizDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>
#include <pwd.h>
#include <unistd.h>

#include "common/Codepage.h"
#include "dialogs/qt/ColorPickDialog.h"
#include "platform/MsgBoxCodes.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

const char* const kSwatchNames[5] = {"Back", "Text", "Link", "ALink", "VLink"};
const char* const kSwatchLabels[5] = {"Back:", "Text:", "Links:", "Active links:", "Visited links:"};
const Color kSwatchDefaults[5] = {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF, 0x800080};

QColor Rgb(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void SetHint(QWidget* w, int helpNumber) { w->setToolTip(Utf8ToQ(WizardHint(helpNumber))); }

QLineEdit* NewEdit(const char* name, const QString& text = QString()) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(name);
  return edit;
}

}  // namespace

std::string AuthorName() {
  std::string name;
  if (const passwd* pw = ::getpwuid(::geteuid())) name = pw->pw_name ? pw->pw_name : "";
  if (name.empty()) name = QToUtf8(qEnvironmentVariable("USER"));
  if (name.empty()) name = QToUtf8(QSysInfo::machineHostName());
  return name;
}

TFormHtmlWiz::TFormHtmlWiz(QWidget* parent, HtmlWizardHost& host)
    : QDialog(parent, Qt::Tool | Qt::WindowCloseButtonHint), host_(host) {
  setObjectName("FormHtmlWiz");
  setWindowTitle("HTML Wizard v1.1");

  // ---- page ----
  Title_Edit = NewEdit("Title_Edit", PathToQ(FileNameNoExt(host_.DocFileName())));
  SetHint(Title_Edit, 1);
  Background_Edit = NewEdit("Background_Edit");
  SetHint(Background_Edit, 2);
  Browse_Btn = new QPushButton("...");
  Browse_Btn->setObjectName("Browse_Btn");
  Browse_Btn->setFixedWidth(28);
  SetHint(Browse_Btn, 3);
  connect(Browse_Btn, &QPushButton::clicked, this, &TFormHtmlWiz::Browse_BtnClick);
  FixedBG_Chk = new QCheckBox("Fixed background");
  FixedBG_Chk->setObjectName("FixedBG_Chk");
  SetHint(FixedBG_Chk, 4);
  auto* page = new QGridLayout;
  page->addWidget(new QLabel("Page title:"), 0, 0);
  page->addWidget(Title_Edit, 0, 1, 1, 2);
  page->addWidget(new QLabel("Background:"), 1, 0);
  page->addWidget(Background_Edit, 1, 1);
  page->addWidget(Browse_Btn, 1, 2);
  page->addWidget(FixedBG_Chk, 2, 1, 1, 2);

  // ---- META ----
  // The three values the wizard knows itself are fresh on every use.
  SetMetaValue(kMetaAuthor, EncodeFromUtf8(Codepage::Cp1252, AuthorName()));
  SetMetaValue(kMetaDate, FromQString(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
  SetMetaValue(kMetaGenerator, "Quillora v1.81");
  Meta_Chk = new QCheckBox("Include meta information");
  Meta_Chk->setObjectName("Meta_Chk");
  Meta_Chk->setChecked(true);
  SetHint(Meta_Chk, 10);
  Meta_Combo = new QComboBox;
  Meta_Combo->setObjectName("Meta_Combo");
  for (const char* name : kMetaNames) Meta_Combo->addItem(name);
  Meta_Edit = NewEdit("Meta_Edit");
  Meta_Edit->setMaxLength(static_cast<int>(kMetaMax));
  SetHint(Meta_Edit, 0);
  connect(Meta_Combo, qOverload<int>(&QComboBox::currentIndexChanged), this, &TFormHtmlWiz::Meta_ComboChange);
  connect(Meta_Edit, &QLineEdit::textChanged, this, &TFormHtmlWiz::Meta_EditChange);
  Meta_Combo->setCurrentIndex(0);
  Meta_ComboChange(0);
  auto* meta = new QGridLayout;
  meta->addWidget(Meta_Chk, 0, 0, 1, 2);
  meta->addWidget(new QLabel("Meta:"), 1, 0);
  meta->addWidget(Meta_Combo, 1, 1);
  meta->addWidget(Meta_Edit, 2, 0, 1, 2);

  // ---- colors ----
  Color_Chk = new QCheckBox("Include color information");
  Color_Chk->setObjectName("Color_Chk");
  Color_Chk->setChecked(true);
  SetHint(Color_Chk, 20);
  auto* colors = new QGridLayout;
  colors->addWidget(Color_Chk, 0, 0, 1, 3);
  for (int i = 0; i < 5; ++i) {
    swatches_[i] = new ColorSwatch(QString(kSwatchNames[i]) + "_Panel", QString());
    swatches_[i]->SetColor(kSwatchDefaults[i]);
    swatches_[i]->setFixedSize(40, 20);
    SetHint(swatches_[i], 21 + i);
    colorButtons_[i] = new QPushButton("---");
    colorButtons_[i]->setObjectName(QString(kSwatchNames[i]) + "_Btn");
    colorButtons_[i]->setFixedWidth(32);
    SetHint(colorButtons_[i], 21 + i);
    connect(colorButtons_[i], &QPushButton::clicked, this, [this, i] { SelectColor_Cmd(i); });
    colors->addWidget(new QLabel(kSwatchLabels[i]), i + 1, 0);
    colors->addWidget(swatches_[i], i + 1, 1);
    colors->addWidget(colorButtons_[i], i + 1, 2);
  }
  ExBack_Panel = new QFrame;
  ExBack_Panel->setObjectName("ExBack_Panel");
  ExBack_Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ExBack_Panel->setAutoFillBackground(true);
  auto* example = new QVBoxLayout(ExBack_Panel);
  const char* exNames[4] = {"ExText_Label", "ExLink_Label", "ExALink_Label", "ExVLink_Label"};
  const char* exTexts[4] = {"Normal text", "A link", "Active link", "Visited link"};
  for (int i = 0; i < 4; ++i) {
    exampleLabels_[i] = new QLabel(exTexts[i]);
    exampleLabels_[i]->setObjectName(exNames[i]);
    if (i > 0) {
      QFont f = exampleLabels_[i]->font();
      f.setUnderline(true);
      exampleLabels_[i]->setFont(f);
    }
    example->addWidget(exampleLabels_[i]);
  }
  colors->addWidget(ExBack_Panel, 1, 3, 5, 1);
  UpdatePreview();

  // ---- margins ----
  Margin_Chk = new QCheckBox("Include margin information");
  Margin_Chk->setObjectName("Margin_Chk");
  Margin_Chk->setChecked(true);
  SetHint(Margin_Chk, 30);
  TopMarg_Edit = NewEdit("TopMarg_Edit", "15");
  SetHint(TopMarg_Edit, 31);
  LeftMarg_Edit = NewEdit("LeftMarg_Edit", "10");
  SetHint(LeftMarg_Edit, 32);
  RightMarg_Edit = NewEdit("RightMarg_Edit", "10");
  SetHint(RightMarg_Edit, 34);
  auto* margins = new QGridLayout;
  margins->addWidget(Margin_Chk, 0, 0, 1, 6);
  margins->addWidget(new QLabel("Topmargin:"), 1, 0);
  margins->addWidget(TopMarg_Edit, 1, 1);
  margins->addWidget(new QLabel("Leftmargin:"), 1, 2);
  margins->addWidget(LeftMarg_Edit, 1, 3);
  margins->addWidget(new QLabel("Rightmargin:"), 1, 4);
  margins->addWidget(RightMarg_Edit, 1, 5);

  // The input boxes take the settings' box colors.
  for (QWidget* box : std::initializer_list<QWidget*>{Title_Edit, Background_Edit, TopMarg_Edit, LeftMarg_Edit,
                                                      RightMarg_Edit, Meta_Combo, Meta_Edit}) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, ToQColor(host_.BoxBackColor(), p));
    p.setColor(QPalette::Text, ToQColor(host_.BoxTextColor(), p));
    box->setPalette(p);
  }

  Ok_Btn = new QPushButton("&OK");
  Ok_Btn->setObjectName("Ok_Btn");
  Ok_Btn->setDefault(true);
  Cancel_Btn = new QPushButton("&Cancel");
  Cancel_Btn->setObjectName("Cancel_Btn");
  connect(Ok_Btn, &QPushButton::clicked, this, &TFormHtmlWiz::Ok_BtnClick);
  connect(Cancel_Btn, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Ok_Btn);
  buttons->addWidget(Cancel_Btn);

  auto group = [](const char* title, QLayout* inner) {
    auto* box = new QGroupBox(title);
    box->setLayout(inner);
    return box;
  };
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group("Page", page));
  layout->addWidget(group("Meta information", meta));
  layout->addWidget(group("Colors", colors));
  layout->addWidget(group("Margins", margins));
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormHtmlWiz::Meta_ComboChange(int index) {
  if (index < 0 || index >= kMetaCount) return;
  Meta_Edit->setText(ToQString(MetaValues()[static_cast<std::size_t>(index)]));
}

void TFormHtmlWiz::Meta_EditChange() {
  SetMetaValue(Meta_Combo->currentIndex(), FromQString(Meta_Edit->text()));
}

void TFormHtmlWiz::UpdatePreview() {
  QPalette p = ExBack_Panel->palette();
  p.setColor(QPalette::Window, Rgb(swatches_[0]->ColorValue()));
  ExBack_Panel->setPalette(p);
  for (int i = 0; i < 4; ++i) {
    QPalette lp = exampleLabels_[i]->palette();
    lp.setColor(QPalette::WindowText, Rgb(swatches_[i + 1]->ColorValue()));
    exampleLabels_[i]->setPalette(lp);
  }
}

void TFormHtmlWiz::SelectColor_Cmd(int swatch) {
  if (swatch < 0 || swatch >= 5) return;
  const std::int64_t color = host_.PickColor(swatches_[swatch]->ColorValue());
  if (color >= 0) swatches_[swatch]->SetColor(static_cast<Color>(color));
  UpdatePreview();
}

void TFormHtmlWiz::Browse_BtnClick() {
  if (!host_.DocumentOnDisk()) {
    const int answer = MsgBox(
        "Before you add a picture, you should save so Quillora could insert a relative path to the image.\n"
        "If you choose not to save, the image you have chosen may not be displayed!\n\nDo you want to save?",
        "Save first?!", 51);
    if (answer != IdYes && answer != IdNo) return;
    if (answer == IdYes) host_.SaveAs();
  }
  // A document still without a file keeps the picture's full path.
  const std::string doc = host_.DocFileName();
  const std::string picture = host_.ChoosePicture(host_.DocumentOnDisk() ? ExtractFileDir(doc) : "");
  if (picture.empty()) return;
  Background_Edit->setText(ToQString(PicturePath(doc, picture)));
}

WizardPage TFormHtmlWiz::Page() const {
  WizardPage page;
  page.title = FromQString(Title_Edit->text());
  page.background = FromQString(Background_Edit->text());
  page.fixedBackground = FixedBG_Chk->isChecked();
  page.meta = Meta_Chk->isChecked();
  page.colors = Color_Chk->isChecked();
  page.margins = Margin_Chk->isChecked();
  page.metaValues = MetaValues();
  page.back = swatches_[0]->ColorValue();
  page.text = swatches_[1]->ColorValue();
  page.link = swatches_[2]->ColorValue();
  page.alink = swatches_[3]->ColorValue();
  page.vlink = swatches_[4]->ColorValue();
  page.topMargin = FromQString(TopMarg_Edit->text());
  page.leftMargin = FromQString(LeftMarg_Edit->text());
  page.rightMargin = FromQString(RightMarg_Edit->text());
  return page;
}

void TFormHtmlWiz::Ok_BtnClick() {
  pageText_ = GenerateHtmlPage(Page());
  accept();
}

}  // namespace ql
