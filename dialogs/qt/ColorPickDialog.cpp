#include "dialogs/qt/ColorPickDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/ColorPick.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

const char* const kSwapFormat = "application/x-quillora-color-swap";

QColor ToQ(Color c) { return QColor(Channel(c, 0), Channel(c, 1), Channel(c, 2)); }
Color FromQ(const QColor& c) { return ColorFromChannels(c.red(), c.green(), c.blue()); }

QString HexOf(Color c) {
  std::string r, g, b;
  ColorToHexParts(c, r, g, b);
  return QString::fromStdString(r + g + b);
}

void StartDrag(QWidget* source, Color color, bool swap) {
  auto* mime = new QMimeData;
  mime->setColorData(ToQ(color));  // application/x-color
  if (swap) mime->setData(kSwapFormat, "1");
  auto* drag = new QDrag(source);
  drag->setMimeData(mime);
  QPixmap chip(16, 16);
  chip.fill(ToQ(color));
  drag->setPixmap(chip);
  drag->exec(Qt::CopyAction);
}

void SetTextColor(QLineEdit* edit, const QColor& color) {
  QPalette p = edit->palette();
  p.setColor(QPalette::Text, color);
  edit->setPalette(p);
}

}  // namespace

// ---- system colors: the 28 names read from the current palette ----
Color SystemColorValue(int listIndex) {
  struct Role {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
  };
  static const Role roles[28] = {
      {QPalette::Active, QPalette::Button},          {QPalette::Active, QPalette::Dark},
      {QPalette::Active, QPalette::Highlight},       {QPalette::Inactive, QPalette::Highlight},
      {QPalette::Active, QPalette::Window},          {QPalette::Active, QPalette::Base},
      {QPalette::Active, QPalette::Shadow},          {QPalette::Active, QPalette::WindowText},
      {QPalette::Active, QPalette::Text},            {QPalette::Active, QPalette::HighlightedText},
      {QPalette::Active, QPalette::Window},          {QPalette::Inactive, QPalette::Window},
      {QPalette::Active, QPalette::Dark},            {QPalette::Active, QPalette::Highlight},
      {QPalette::Active, QPalette::HighlightedText}, {QPalette::Active, QPalette::Button},
      {QPalette::Active, QPalette::Mid},             {QPalette::Disabled, QPalette::Text},
      {QPalette::Active, QPalette::ButtonText},      {QPalette::Inactive, QPalette::HighlightedText},
      {QPalette::Active, QPalette::Light},           {QPalette::Active, QPalette::Shadow},
      {QPalette::Active, QPalette::Midlight},        {QPalette::Active, QPalette::ToolTipText},
      {QPalette::Active, QPalette::ToolTipBase},     {QPalette::Active, QPalette::Link},
      {QPalette::Active, QPalette::Highlight},       {QPalette::Inactive, QPalette::Highlight},
  };
  if (listIndex < 0 || listIndex >= 28) return 0;
  const QPalette p = QApplication::palette();
  return FromQ(p.color(roles[listIndex].group, roles[listIndex].role));
}

// ---- swatches ----
ColorSwatch::ColorSwatch(const QString& name, const QString& hint, QWidget* parent) : QFrame(parent) {
  setObjectName(name);
  setToolTip(hint);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  setMinimumSize(22, 22);
  SetColor(0);
}

void ColorSwatch::SetColor(Color color) {
  color_ = color & 0xFFFFFF;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQ(color_));
  setPalette(p);
}

void ColorSwatch::SetTarget(bool target) {
  target_ = target;
  setAcceptDrops(target);
  if (target) setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
  if (dragButtons_ == RightButton && event->button() != Qt::RightButton) {
    emit clicked();  // the left (or middle) button opens the menu
    return;
  }
  const bool swap = dragButtons_ == RightButton && (event->modifiers() & Qt::ControlModifier);
  StartDrag(this, color_, swap);
}

void ColorSwatch::dragEnterEvent(QDragEnterEvent* event) {
  if (target_ && event->mimeData()->hasColor()) event->acceptProposedAction();
}

void ColorSwatch::dropEvent(QDropEvent* event) {
  const QColor c = qvariant_cast<QColor>(event->mimeData()->colorData());
  if (!c.isValid()) return;
  emit dropped(this, FromQ(c), event->source(), event->mimeData()->hasFormat(kSwapFormat));
  event->acceptProposedAction();
}

// ---- blend bar ----
BlendBar::BlendBar(QWidget* parent) : QWidget(parent) {
  setObjectName("Blend_Img");
  setFixedSize(184, 22);
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
}

void BlendBar::SetEnds(Color from, Color to) {
  from_ = from;
  to_ = to;
  update();
}

Color BlendBar::ColorAt(int ratio) const {
  return BlendColors(from_, to_, static_cast<std::uint16_t>(ratio));
}

void BlendBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width();
  for (int x = 0; x <= w; ++x) {
    p.setPen(ToQ(ColorAt(BarRatio(x, w))));
    p.drawLine(x, 0, x, height());
  }
}

void BlendBar::mouseMoveEvent(QMouseEvent* event) { emit hovered(event->position().toPoint().x()); }

void BlendBar::mousePressEvent(QMouseEvent* event) {
  emit hovered(event->position().toPoint().x());
  emit pressed(event->position().toPoint().x());
}

// ---- the dialog ----
TFormColorPick::TFormColorPick(QWidget* owner, Store& store, std::int64_t color,
                               const std::string& caption)
    : QDialog(owner, Qt::Tool | Qt::WindowCloseButtonHint), store_(store) {
  setObjectName("FormColorPick");
  result_ = ClampStartColor(color);
  setWindowTitle(caption.empty() ? QString("Pick Color v1.43") : Utf8ToQ(caption));

  OldCol_Panel = new ColorSwatch("OldCol_Panel", "Old Color");
  NewCol_Panel = new ColorSwatch("NewCol_Panel", "New Color");
  BlendA_Panel = new ColorSwatch("BlendA_Panel", "Blend from color");
  BlendB_Panel = new ColorSwatch("BlendB_Panel", "Blend to color");
  Hover_Panel = new ColorSwatch("Hover_Panel", "Hover color");
  SysCol_Panel = new ColorSwatch("SysCol_Panel", "Hover color");
  for (ColorSwatch* s : {NewCol_Panel, BlendA_Panel, BlendB_Panel}) {
    s->SetTarget(true);
    s->SetDragButtons(ColorSwatch::RightButton);
    connect(s, &ColorSwatch::clicked, this, [this, s] { ShowPopup(s); });
    connect(s, &ColorSwatch::dropped, this, &TFormColorPick::DropOn);
  }
  OldCol_Panel->setMinimumSize(56, 40);
  NewCol_Panel->setMinimumSize(56, 40);

  auto* top = new QGridLayout;
  top->addWidget(new QLabel("Old Color"), 0, 0);
  top->addWidget(new QLabel("New Color"), 0, 1);
  top->addWidget(OldCol_Panel, 1, 0);
  top->addWidget(NewCol_Panel, 1, 1);

  auto* channels = new QGridLayout;
  const char* labels[3] = {"&Red:", "&Green:", "&Blue:"};
  const char* names[3] = {"Red", "Green", "Blue"};
  const char* panelHints[3] = {"Current red color", "Current green color", "Current blue color"};
  for (int i = 0; i < 3; ++i) {
    auto* edit = new QLineEdit("0");
    edit->setObjectName(QString(names[i]) + "_Edit");
    edit->setMaxLength(3);
    edit->setFixedWidth(44);
    edit->setToolTip(QString("%1 value [0..255]\nUse +/- to Inc/Dec value").arg(names[i]));
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, QColor(0, 255, 0));
    edit->setPalette(p);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, i] { RgbEdits_Change(i); });
    channelEdits_[i] = edit;
    channelPanels_[i] = new ColorSwatch(QString(names[i]) + "_Panel", panelHints[i]);
    auto* label = new QLabel(labels[i]);
    label->setBuddy(edit);
    channels->addWidget(label, i, 0);
    channels->addWidget(edit, i, 1);
    channels->addWidget(channelPanels_[i], i, 2);
  }
  Hex_Edit = new QLineEdit("000000");
  Hex_Edit->setObjectName("Hex_Edit");
  Hex_Edit->setMaxLength(7);
  Hex_Edit->setFixedWidth(72);
  Hex_Edit->setToolTip("Hexadeciamal color code");
  QPalette hp = Hex_Edit->palette();
  hp.setColor(QPalette::Base, Qt::black);
  hp.setColor(QPalette::Text, QColor(0, 255, 0));
  Hex_Edit->setPalette(hp);
  connect(Hex_Edit, &QLineEdit::textEdited, this, &TFormColorPick::Hex_EditChange);
  auto* hexLabel = new QLabel("&Hex code:");
  hexLabel->setBuddy(Hex_Edit);
  channels->addWidget(hexLabel, 3, 0);
  channels->addWidget(Hex_Edit, 3, 1, 1, 2);

  auto* upper = new QHBoxLayout;
  upper->addLayout(top);
  upper->addSpacing(12);
  upper->addLayout(channels);
  upper->addStretch();

  Blend_Img = new BlendBar;
  connect(Blend_Img, &BlendBar::hovered, this, &TFormColorPick::BlendHover);
  connect(Blend_Img, &BlendBar::pressed, this,
          [this](int) { StartDrag(Hover_Panel, Hover_Panel->ColorValue(), false); });
  auto* blend = new QHBoxLayout;
  blend->addWidget(BlendA_Panel);
  blend->addWidget(Blend_Img);
  blend->addWidget(BlendB_Panel);
  blend->addSpacing(8);
  blend->addWidget(Hover_Panel);
  blend->addStretch();
  Percent_Label = new QLabel;
  Percent_Label->setObjectName("Percent_Label");

  SysCol_Combo = new QComboBox;
  SysCol_Combo->setObjectName("SysCol_Combo");
  SysCol_Combo->setMaxVisibleItems(14);
  for (const char* name : SystemColorNames()) SysCol_Combo->addItem(name);
  connect(SysCol_Combo, &QComboBox::currentIndexChanged, this, &TFormColorPick::SysCol_Combo_Change);
  auto* sysLabel = new QLabel("&System:");
  sysLabel->setBuddy(SysCol_Combo);
  auto* system = new QHBoxLayout;
  system->addWidget(sysLabel);
  system->addWidget(SysCol_Combo, 1);
  system->addWidget(SysCol_Panel);

  // Hues across, intensities down; the grays in the last column.
  auto* palette = new QGridLayout;
  palette->setSpacing(2);
  const std::vector<Swatch>& swatches = PaletteSwatches();
  for (std::size_t i = 0; i < swatches.size(); ++i) {
    const Swatch& sw = swatches[i];
    auto* s = new ColorSwatch(QString::fromStdString(sw.name), QString::fromStdString(SwatchHint(sw)));
    s->SetColor(sw.color);
    s->setFixedSize(22, 22);
    palette_.push_back(s);
    const int row = static_cast<int>(i < 24 ? i % 4 : i - 24);
    const int column = static_cast<int>(i < 24 ? i / 4 : 6);
    palette->addWidget(s, row, column);
  }

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  PopupMenu1->addAction(QIcon::fromTheme("color-picker"), "&Pick Color...", this,
                        &TFormColorPick::PickColor_Cmd);
  PopupMenu1->addAction(QIcon::fromTheme("color-management"), "Blend 50% With Color...", this,
                        &TFormColorPick::BlendColor_Cmd);
  PopupMenu1->addAction(QIcon::fromTheme("edit-select-invert"), "&Negative Color", this,
                        &TFormColorPick::Negative_Cmd);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("Ok_Btn");
  ok->setDefault(true);
  buttons->addButton("&Cancel", QDialogButtonBox::RejectRole)->setObjectName("Cancel_Btn");
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Ok_Cmd();  // a failure is reported; the color still counts
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(upper);
  layout->addLayout(blend);
  layout->addWidget(Percent_Label);
  layout->addLayout(system);
  layout->addLayout(palette);
  layout->addWidget(buttons);

  // As shown: custom colors, system colors, the three swatches, all views.
  const std::vector<Color> custom = LoadCustomColors(store_);
  for (std::size_t i = 0; i < custom.size(); ++i)
    QColorDialog::setCustomColor(static_cast<int>(i), ToQ(custom[i]));
  SysCol_Combo_Change(0);
  Percent_Label->setText("Blend = 0.0% / #000000");
  CurrentPanel = NewCol_Panel;
  OldCol_Panel->SetColor(result_);
  NewCol_Panel->SetColor(result_);
  BlendA_Panel->SetColor(result_);
  BlendB_Panel->SetColor(0xFFFFFF);
  UpdateColorViews(Full);
}

void TFormColorPick::UpdateColorViews(ViewMode mode) {
  updating_ = true;
  result_ = NewCol_Panel->ColorValue();
  for (int i = 0; i < 3; ++i) {
    const QString text = QString::number(Channel(result_, i));
    if (channelEdits_[i]->text() != text) channelEdits_[i]->setText(text);
    channelPanels_[i]->SetColor(ChannelColor(i, Channel(result_, i)));
  }
  if (mode != FromHex) {
    Hex_Edit->setText(HexOf(result_));
    SetTextColor(Hex_Edit, QColor(0, 255, 0));
  }
  if (mode != FromRgb) Blend_Img->SetEnds(BlendA_Panel->ColorValue(), BlendB_Panel->ColorValue());
  updating_ = false;
}

void TFormColorPick::RgbEdits_Change(int channel) {
  if (updating_) return;
  for (QLineEdit* e : channelEdits_)
    if (e->text().isEmpty()) return;
  QLineEdit* edit = channelEdits_[channel];
  const std::optional<int> value = ChannelValue(edit->text().toStdString());
  if (!value) return;  // unreadable input is ignored
  if (QString::number(*value) != edit->text() && (*value == 255 || *value == 0)) {
    edit->setText(QString::number(*value));
  }
  int v[3];
  for (int i = 0; i < 3; ++i) {
    const std::optional<int> c = ChannelValue(channelEdits_[i]->text().toStdString());
    if (!c) return;
    v[i] = *c;
  }
  NewCol_Panel->SetColor(ColorFromChannels(v[0], v[1], v[2]));
  UpdateColorViews(FromRgb);
}

void TFormColorPick::Hex_EditChange() {
  const int cursor = Hex_Edit->cursorPosition();
  const QString upper = Hex_Edit->text().toUpper();
  if (upper != Hex_Edit->text()) {
    Hex_Edit->setText(upper);
    Hex_Edit->setCursorPosition(cursor);
  }
  const std::optional<Color> color = ParseHexBox(upper.toStdString());
  if (!color) {
    SetTextColor(Hex_Edit, Qt::red);
    return;
  }
  SetTextColor(Hex_Edit, QColor(0, 255, 0));
  NewCol_Panel->SetColor(*color);
  UpdateColorViews(FromHex);
}

std::optional<Color> TFormColorPick::AskStandard(Color initial) {
  if (standard_) return standard_(initial);
  const QColor c = QColorDialog::getColor(ToQ(initial), this, "Color");
  if (!c.isValid()) return std::nullopt;
  return FromQ(c);
}

void TFormColorPick::PickColor_Cmd() {
  if (const std::optional<Color> c = AskStandard(CurrentPanel->ColorValue())) CurrentPanel->SetColor(*c);
  UpdateColorViews(Full);
}

void TFormColorPick::BlendColor_Cmd() {
  if (const std::optional<Color> c = AskStandard(CurrentPanel->ColorValue()))
    CurrentPanel->SetColor(BlendColors(CurrentPanel->ColorValue(), *c, 128));
  UpdateColorViews(Full);
}

void TFormColorPick::Negative_Cmd() {
  CurrentPanel->SetColor(InvertColor(CurrentPanel->ColorValue()));
  UpdateColorViews(Full);
}

void TFormColorPick::ShowPopup(ColorSwatch* panel) {
  CurrentPanel = panel;
  PopupMenu1->popup(panel->mapToGlobal(QPoint(0, panel->height())));
}

void TFormColorPick::BlendHover(int x) {
  const int t = HoverRatio(x, Blend_Img->width());
  const Color c = Blend_Img->ColorAt(t);
  Hover_Panel->SetColor(c);
  Percent_Label->setText(QString::fromStdString(BlendLabel(t, c)));
}

void TFormColorPick::SysCol_Combo_Change(int index) { SysCol_Panel->SetColor(SystemColorValue(index)); }

void TFormColorPick::DropOn(ColorSwatch* target, Color color, QObject* source, bool swap) {
  const Color former = target->ColorValue();
  target->SetColor(color);
  if (swap)
    if (auto* from = qobject_cast<ColorSwatch*>(source)) from->SetColor(former);
  UpdateColorViews(Full);
}

bool TFormColorPick::Ok_Cmd() {
  std::vector<Color> colors;
  for (int i = 0; i < QColorDialog::customCount() && i < 16; ++i)
    colors.push_back(FromQ(QColorDialog::customColor(i)));
  std::array<Color, 16> saved{};
  if (!ColorsFromLines(CustomColorLines(colors), saved) || !SaveCustomColors(store_, saved)) {
    MsgBox("Error writing custom colors!", "Error!", 16);
    return false;
  }
  return true;
}

bool TFormColorPick::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::FocusOut && edit->text().isEmpty()) {
    edit->setText("0");
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const QString text = key->text();
  if (text.isEmpty() || key->key() == Qt::Key_Backspace || !text[0].isPrint()) return false;
  const QChar c = text[0];
  if (c.isDigit() && c.unicode() < 128) return false;
  bool ok = false;
  const int v = edit->text().toInt(&ok);
  if (ok && c == '+' && v < 255) {
    edit->setText(QString::number(v + 1));
    RgbEdits_Change(static_cast<int>(std::find(channelEdits_.begin(), channelEdits_.end(), edit) -
                                     channelEdits_.begin()));
  } else if (ok && c == '-' && v > 0) {
    edit->setText(QString::number(v - 1));
    RgbEdits_Change(static_cast<int>(std::find(channelEdits_.begin(), channelEdits_.end(), edit) -
                                     channelEdits_.begin()));
  }
  return true;  // every other key is discarded
}

std::int64_t PickColor(QWidget* owner, Store& store, std::int64_t color, const std::string& caption) {
  TFormColorPick dialog(owner, store, color, caption);
  if (dialog.exec() != QDialog::Accepted) return -1;
  return dialog.Result();
}

}  // namespace ql
