#include "functions/qt/FunctionsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "common/FuncLib.h"
#include "functions/TextFunctions.h"
#include "platform/qt/Help.h"
#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

const char kSwatchMime[] = "application/x-quillora-function-swatch";
constexpr long long kMaxBatchLines = 32767;

QColor Rgb(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QRadioButton* Radio(const char* name, const char* caption, QWidget* parent) {
  auto* r = new QRadioButton(QString::fromUtf8(caption), parent);
  r->setObjectName(name);
  return r;
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
  auto* c = new QCheckBox(QString::fromUtf8(caption), parent);
  c->setObjectName(name);
  return c;
}

void PaintBox(QWidget* box, std::uint32_t back, std::uint32_t text) {
  const QPalette system = QApplication::palette();
  QPalette p = box->palette();
  p.setColor(QPalette::Base, ToQColor(back, system));
  p.setColor(QPalette::Text, ToQColor(text, system));
  box->setPalette(p);
}

}  // namespace

std::string SwatchHint(std::uint32_t c) {
  const unsigned r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  char text[96];
  std::snprintf(text, sizeof text, "(Drag'n'Drop)\r\n\r\nHex:  0x%02X%02X%02X\r\nRGB:  %03u;%03u;%03u;", r, g, b,
                r, g, b);
  return text;
}

std::string DelayText(std::int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%03lld", static_cast<long long>(ms / 60000),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return text;
}

// ---- swatches ----

FuncSwatch::FuncSwatch(const QString& name, std::uint32_t color, QWidget* parent)
    : QFrame(parent), color_(color) {
  setObjectName(name);
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setAutoFillBackground(true);
  setMinimumSize(40, 22);
  setAcceptDrops(true);
  setMouseTracking(true);
  SetColor(color);
}

void FuncSwatch::SetColor(std::uint32_t color) {
  color_ = color & 0xFFFFFF;
  QPalette p = palette();
  p.setColor(QPalette::Window, Rgb(color_));
  setPalette(p);
}

void FuncSwatch::mousePressEvent(QMouseEvent* event) {
  // Dragging starts at once: a plain drag swaps, Ctrl copies.
  const bool copy = event->modifiers() & Qt::ControlModifier;
  auto* mime = new QMimeData;
  mime->setData(kSwatchMime, objectName().toUtf8());
  mime->setData("application/x-quillora-function-swap", copy ? "0" : "1");
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->exec(copy ? Qt::CopyAction : Qt::MoveAction);
}

void FuncSwatch::mouseMoveEvent(QMouseEvent*) { setToolTip(Utf8ToQ(SwatchHint(color_))); }

void FuncSwatch::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(kSwatchMime) && qobject_cast<FuncSwatch*>(event->source()))
    event->acceptProposedAction();
}

void FuncSwatch::dropEvent(QDropEvent* event) {
  auto* source = qobject_cast<FuncSwatch*>(event->source());
  if (!source) return;
  const bool swap = event->mimeData()->data("application/x-quillora-function-swap") == "1";
  emit dropped(source, this, swap);
  event->acceptProposedAction();
}

// ---- the dialog ----

TFormFunc::TFormFunc(FunctionsDialogHost& host)
    : QDialog(host.HostWindow(), Qt::Tool | Qt::WindowStaysOnTopHint), host_(host) {
  setObjectName("FormFunc");
  setWindowTitle("Misc functions");
  auto* layout = new QVBoxLayout(this);
  Main_PageCtrl = new QTabWidget(this);
  Main_PageCtrl->setObjectName("Main_PageCtrl");
  Color_Sheet = BuildColorPage();
  Encrypt_Sheet = BuildEncryptPage();
  BatchIns_Sheet = BuildBatchPage();
  Main_PageCtrl->addTab(Color_Sheet, "C&olor tags");
  Main_PageCtrl->addTab(Encrypt_Sheet, "&Encrypt/Decrypt");
  Main_PageCtrl->addTab(BatchIns_Sheet, "&Batch Insert");
  layout->addWidget(Main_PageCtrl);

  auto* buttons = new QHBoxLayout;
  Delay_Label = new QLabel(this);
  Delay_Label->setObjectName("Delay_Label");
  auto* help = new QPushButton("&Help", this);
  help->setObjectName("Help_Btn");
  auto* close = new QPushButton("&Close", this);
  close->setObjectName("Close_Btn");
  DoFunction_Btn = new QPushButton("&Do function...", this);
  DoFunction_Btn->setObjectName("DoFunction_Btn");
  DoFunction_Btn->setDefault(true);
  buttons->addWidget(Delay_Label, 1);
  buttons->addWidget(help);
  buttons->addWidget(close);
  buttons->addWidget(DoFunction_Btn);
  layout->addLayout(buttons);
  connect(help, &QPushButton::clicked, this, &TFormFunc::HelpBtn_Cmd);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);  // Esc too
  connect(DoFunction_Btn, &QPushButton::clicked, this, &TFormFunc::DoFunction);
}

QWidget* TFormFunc::BuildColorPage() {
  auto* page = new QWidget;
  page->setObjectName("Color_Sheet");
  auto* layout = new QHBoxLayout(page);

  auto* colors = new QGroupBox("Colors", page);
  auto* grid = new QGridLayout(colors);
  TextColor_Panel = new FuncSwatch("TextColor_Panel", 0x0000FF, colors);
  TagColor_Panel = new FuncSwatch("TagColor_Panel", 0xFF0000, colors);
  DefColor_Panel = new FuncSwatch("DefColor_Panel", 0x008000, colors);
  const struct {
    const char* name;
    const char* caption;
    FuncSwatch* panel;
  } rows[] = {{"TextColor_Btn", "Te&xt", TextColor_Panel},
              {"TagColor_Btn", "&Tags", TagColor_Panel},
              {"DefColor_Btn", "De&finition", DefColor_Panel}};
  int tag = 1;
  for (const auto& row : rows) {
    auto* button = new QPushButton(row.caption, colors);
    button->setObjectName(row.name);
    grid->addWidget(button, tag - 1, 0);
    grid->addWidget(row.panel, tag - 1, 1);
    connect(button, &QPushButton::clicked, this, [this, tag] { Color_Change(tag); });
    connect(row.panel, &FuncSwatch::dropped, this, &TFormFunc::DropSwatch);
    ++tag;
  }
  layout->addWidget(colors);

  auto* right = new QVBoxLayout;
  auto* method = new QGroupBox("Color Method", page);
  auto* methods = new QVBoxLayout(method);
  Standard_Radio = Radio("Standard_Radio", "&Standard coloring v1.3", method);
  HTML_Radio = Radio("HTML_Radio", "HTML tag coloring v2.4", method);
  KeyWords_Radio = Radio("KeyWords_Radio", "Key word list coloring v1.4", method);
  Standard_Radio->setChecked(true);
  for (QRadioButton* r : {Standard_Radio, HTML_Radio, KeyWords_Radio}) {
    methods->addWidget(r);
    connect(r, &QRadioButton::toggled, this, &TFormFunc::Radios_Click);
  }
  right->addWidget(method);
  auto* options = new QGroupBox("Key word options", page);
  auto* opts = new QVBoxLayout(options);
  WordList_Combo = new QComboBox(options);
  WordList_Combo->setObjectName("WordList_Combo");
  UppercaseTag_Check = Check("UppercaseTag_Check", "&Uppercase tags", options);
  opts->addWidget(WordList_Combo);
  opts->addWidget(UppercaseTag_Check);
  right->addWidget(options);
  layout->addLayout(right);
  Radios_Click();
  return page;
}

QWidget* TFormFunc::BuildEncryptPage() {
  auto* page = new QWidget;
  page->setObjectName("Encrypt_Sheet");
  auto* layout = new QHBoxLayout(page);
  auto* method = new QGroupBox("Method", page);
  auto* methods = new QVBoxLayout(method);
  EncRot13_Radio = Radio("EncRot13_Radio", "ROT &13 v2.2", method);
  EncBackward_Radio = Radio("EncBackward_Radio", "Bac&kward v1.0", method);
  Binary_Radio = Radio("Binary_Radio", "Binary v1.0", method);
  Hex_Radio = Radio("Hex_Radio", "Hexadecimal v1.0", method);
  BitShift_Radio = Radio("BitShift_Radio", "Bit Shift v1.0", method);
  EncRot13_Radio->setChecked(true);
  EncRot13_Radio->setToolTip("Rotate 13\nSpeed: 1/1");
  EncBackward_Radio->setToolTip("Backward\nSpeed: 1/1");
  Binary_Radio->setToolTip("Binary\nEnc Speed: 25/1\nDec Speed: 65/1");
  Hex_Radio->setToolTip("Hexadeciamal\nEnc Speed: 8/1\nDec Speed: 14/1");
  for (QRadioButton* r : {EncRot13_Radio, EncBackward_Radio, Binary_Radio, Hex_Radio, BitShift_Radio}) {
    methods->addWidget(r);
    connect(r, &QRadioButton::toggled, this, &TFormFunc::EncRadios_Change);
  }
  auto* bits = new QHBoxLayout;
  BitShift_Label = new QLabel("Bit Order:", method);
  BitShift_Edit = new QLineEdit("12345678", method);
  BitShift_Edit->setObjectName("BitShift_Edit");
  BitShift_Edit->setMaxLength(8);
  bits->addWidget(BitShift_Label);
  bits->addWidget(BitShift_Edit);
  methods->addLayout(bits);
  layout->addWidget(method);

  auto* right = new QVBoxLayout;
  auto* origin = new QGroupBox("Origin", page);
  auto* origins = new QVBoxLayout(origin);
  AllText_Radio = Radio("AllText_Radio", "&All text", origin);
  SelText_Radio = Radio("SelText_Radio", "&Selected text", origin);
  AllText_Radio->setChecked(true);
  origins->addWidget(AllText_Radio);
  origins->addWidget(SelText_Radio);
  right->addWidget(origin);
  auto* direction = new QGroupBox("Enc or Dec", page);
  auto* directions = new QVBoxLayout(direction);
  Enc_Radio = Radio("Enc_Radio", "&Encrypt text", direction);
  Dec_Radio = Radio("Dec_Radio", "&Decrypt text", direction);
  Enc_Radio->setChecked(true);
  directions->addWidget(Enc_Radio);
  directions->addWidget(Dec_Radio);
  right->addWidget(direction);
  layout->addLayout(right);
  EncRadios_Change();
  return page;
}

QWidget* TFormFunc::BuildBatchPage() {
  auto* page = new QWidget;
  page->setObjectName("BatchIns_Sheet");
  auto* grid = new QGridLayout(page);
  const auto spin = [page](const char* name) {
    auto* s = new QSpinBox(page);
    s->setObjectName(name);
    s->setRange(1, 1);
    s->setValue(1);
    s->setWrapping(false);
    return s;
  };
  FromLine_Edit = spin("FromLine_Edit");
  ToLine_Edit = spin("ToLine_Edit");
  Format_Edit = new QLineEdit("%L", page);
  Format_Edit->setObjectName("Format_Edit");
  auto* from = new QLabel("&Start from line:", page);
  auto* to = new QLabel("E&nd at line:", page);
  auto* format = new QLabel("&Format:", page);
  from->setBuddy(FromLine_Edit);
  to->setBuddy(ToLine_Edit);
  format->setBuddy(Format_Edit);
  grid->addWidget(from, 0, 0);
  grid->addWidget(FromLine_Edit, 0, 1);
  grid->addWidget(to, 1, 0);
  grid->addWidget(ToLine_Edit, 1, 1);
  grid->addWidget(format, 2, 0);
  grid->addWidget(Format_Edit, 2, 1);
  LineWithText_Check = Check("LineWithText_Check", "Only lines &with text", page);
  TrimLeft_Check = Check("TrimLeft_Check", "Re&move spaces and tabs before text", page);
  TrimRight_Check = Check("TrimRight_Check", "Remove spaces and tabs &after text", page);
  grid->addWidget(LineWithText_Check, 3, 0, 1, 2);
  grid->addWidget(TrimLeft_Check, 4, 0, 1, 2);
  grid->addWidget(TrimRight_Check, 5, 0, 1, 2);
  grid->addWidget(new QLabel("See the format parameters in the help file.", page), 6, 0, 1, 2);
  auto* version = new QLabel("Batch Insert v1.4", page);
  version->setEnabled(false);
  grid->addWidget(version, 7, 0, 1, 2);
  return page;
}

void TFormFunc::Radios_Click() {
  const bool keywords = KeyWords_Radio && KeyWords_Radio->isChecked();
  if (WordList_Combo) WordList_Combo->setEnabled(keywords);
  if (UppercaseTag_Check) UppercaseTag_Check->setEnabled(keywords);
}

void TFormFunc::EncRadios_Change() {
  if (!BitShift_Radio) return;
  const bool twoWays = Binary_Radio->isChecked() || Hex_Radio->isChecked() || BitShift_Radio->isChecked();
  Enc_Radio->setEnabled(twoWays);
  Dec_Radio->setEnabled(twoWays);
  BitShift_Edit->setEnabled(BitShift_Radio->isChecked());
  BitShift_Label->setEnabled(BitShift_Radio->isChecked());
}

void TFormFunc::HelpBtn_Cmd() {
  QWidget* page = Main_PageCtrl->currentWidget();
  ShowHelpTopic(page == Color_Sheet ? 74 : page == Encrypt_Sheet ? 72 : 71);
}

void TFormFunc::Prepare() {
  TextFunctionHost& f = host_.Functions();
  EditorBuffer& b = f.Buffer();
  f.BeginBulk();
  const bool selected = b.SelLength() > 0;
  (selected ? SelText_Radio : AllText_Radio)->setChecked(true);
  const long long lines = b.LineCount();
  if (!batchHidden_ && lines > kMaxBatchLines) {
    f.Message("The text contents to many lines!\r\nMax lines: \"32767\"\r\nThere was: \"" +
                  std::to_string(lines) + "\"\r\nFunction: \"Insert into lines\" disabled!",
              "To many lines!", 16);
    batchHidden_ = true;
    Main_PageCtrl->removeTab(Main_PageCtrl->indexOf(BatchIns_Sheet));
    BatchIns_Sheet->hide();
  } else if (!batchHidden_) {
    // The text's own lines, whatever the wrap shows. A remembered start
    // line beyond the text is brought back into it.
    const int count = static_cast<int>(std::max(1LL, lines));
    FromLine_Edit->setMaximum(count);
    ToLine_Edit->setMaximum(count);
    const Offset end = b.SelStart() + b.SelLength();
    ToLine_Edit->setValue(selected ? static_cast<int>(std::min<long long>(b.OffsetToLine(end) + 1, count)) : count);
  }
  std::string ext = host_.DocFileName();
  const std::size_t dot = ext.rfind('.');
  ext = dot == std::string::npos || ext.find('/', dot) != std::string::npos ? "" : AnsiUpperStr(ext.substr(dot));
  if (ext == ".HTM" || ext == ".HTML") HTML_Radio->setChecked(true);
  Radios_Click();
  EncRadios_Change();
  Delay_Label->clear();
  lists_ = FindKeywordLists(host_.KeywordFolders());
  WordList_Combo->clear();
  for (const KeywordList& l : lists_) WordList_Combo->addItem(ToQString(l.name));
  if (!lists_.empty()) WordList_Combo->setCurrentIndex(0);
  for (QWidget* box : {static_cast<QWidget*>(FromLine_Edit), static_cast<QWidget*>(ToLine_Edit),
                       static_cast<QWidget*>(Format_Edit)})
    PaintBox(box, host_.BoxBackColor(), host_.BoxTextColor());
  f.EndBulk();
}

void TFormFunc::Open() {
  Prepare();
  host_.ExecModal(*this);
}

ColoringColors TFormFunc::Colors() const {
  return {TextColor_Panel->ColorValue(), TagColor_Panel->ColorValue(), DefColor_Panel->ColorValue()};
}

void TFormFunc::RunColoring(int method) {
  TextFunctionHost& f = host_.Functions();
  if (method == 1) StandardColoringCommand(f, Colors());
  else if (method == 2) HtmlColoringCommand(f, Colors());
  else
    KeywordColoringCommand(f, Colors(), lists_, static_cast<std::size_t>(std::max(0, WordList_Combo->currentIndex())),
                           UppercaseTag_Check->isChecked());
}

void TFormFunc::RunEncryption() {
  TextFunctionHost& f = host_.Functions();
  const bool selected = SelText_Radio->isChecked();
  const bool encrypt = Enc_Radio->isChecked();
  if (EncBackward_Radio->isChecked()) BackwardCommand(f, selected);
  else if (EncRot13_Radio->isChecked()) Rot13Command(f, selected);
  else if (Binary_Radio->isChecked()) DigitTextCommand(f, DigitBase::Binary, selected, encrypt);
  else if (Hex_Radio->isChecked()) DigitTextCommand(f, DigitBase::Hex, selected, encrypt);
  else BitShiftCommand(f, selected, encrypt, FromQString(BitShift_Edit->text()));
}

void TFormFunc::RunBatchInsert() {
  BatchOptions o;
  o.format = FromQString(Format_Edit->text());
  o.fromIndex = FromLine_Edit->value() - 1;
  o.toIndex = ToLine_Edit->value() - 1;
  o.onlyWithText = LineWithText_Check->isChecked();
  o.trimLeft = TrimLeft_Check->isChecked();
  o.trimRight = TrimRight_Check->isChecked();
  BatchInsertCommand(host_.Functions(), o);
}

void TFormFunc::DoFunction() {
  if (host_.Functions().Buffer().TextLength() == 0) {
    host_.NoText();
    return;
  }
  QElapsedTimer timer;
  timer.start();
  QWidget* page = Main_PageCtrl->currentWidget();
  if (page == Color_Sheet)
    RunColoring(Standard_Radio->isChecked() ? 1 : HTML_Radio->isChecked() ? 2 : 3);
  else if (page == Encrypt_Sheet)
    RunEncryption();
  else if (page == BatchIns_Sheet)
    RunBatchInsert();
  Delay_Label->setText(Utf8ToQ("Delay: " + DelayText(timer.elapsed())));
}

void TFormFunc::RunChoice(int tag) {
  TextFunctionHost& f = host_.Functions();
  if (f.Buffer().TextLength() == 0) {
    host_.NoText();
    return;
  }
  Prepare();
  const bool selected = SelText_Radio->isChecked();
  switch (tag) {
    case 1: RunColoring(1); break;
    case 2: RunColoring(2); break;
    case 3: RunColoring(3); break;
    case 4: Rot13Command(f, selected); break;
    case 5: BackwardCommand(f, selected); break;
    case 10: DigitTextCommand(f, DigitBase::Binary, selected, true); break;
    case 11: DigitTextCommand(f, DigitBase::Binary, selected, false); break;
    case 12: DigitTextCommand(f, DigitBase::Hex, selected, true); break;
    case 13: DigitTextCommand(f, DigitBase::Hex, selected, false); break;
    default: break;
  }
}

void TFormFunc::Color_Change(int tag) {
  FuncSwatch* panel = tag == 1 ? TextColor_Panel : tag == 2 ? TagColor_Panel : DefColor_Panel;
  const char* title = tag == 1 ? "Select text color" : tag == 2 ? "Select tag color" : "Selcet definition color";
  const std::int64_t color = host_.PickColor(panel->ColorValue(), title);
  if (color >= 0) panel->SetColor(static_cast<std::uint32_t>(color));
}

void TFormFunc::DropSwatch(FuncSwatch* source, FuncSwatch* target, bool swap) {
  if (!source || !target || source == target) return;
  const std::uint32_t former = target->ColorValue();
  target->SetColor(source->ColorValue());
  if (swap) source->SetColor(former);
}

}  // namespace ql
