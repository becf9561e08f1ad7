// The Font & Color page: the four swatches, the fonts, the example boxes
// and the color presets.
#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/qt/ColorPickDialog.h"
#include "platform/qt/Look.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "settings/qt/ConfigDialog.h"
#include "settings/qt/ConfigHost.h"
#include "settings/qt/ConfigSwatch.h"

namespace ql {

namespace {

// The built-in entries; their colors are the color themes, entry for entry.
const char* const kBuildIn[] = {"<Build in presets>", "System/Notepad", "Deep Reef", "Ember Deck",
                                "Black Lime",         "MS DOS",         "The Void"};

void ColorBox(QWidget* w, std::uint32_t back, std::uint32_t text) {
  const QPalette system = QApplication::palette();
  QPalette p = w->palette();
  p.setColor(QPalette::Base, ToQColor(back, system));
  p.setColor(QPalette::Text, ToQColor(text, system));
  w->setPalette(p);
}

QPlainTextEdit* Example(const char* name, QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(name);
  memo->setReadOnly(true);
  memo->setFocusPolicy(Qt::NoFocus);  // the focus stays on the page
  memo->viewport()->setCursor(Qt::ArrowCursor);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  return memo;
}

}  // namespace

QWidget* TFormConfig::BuildColorPage() {
  auto* page = new QWidget;
  auto* colors = new QGroupBox("Colors", page);
  auto* grid = new QGridLayout(colors);
  const char* buttonNames[4] = {"BackColor_Btn", "TextColor_Btn", "BoxBackColor_Btn", "BoxTextColor_Btn"};
  const char* captions[4] = {"&Background", "&Text", "Bo&x Background", "Box &T&ext"};
  const char* panelNames[4] = {"Back_Panel", "Text_Panel", "BoxBack_Panel", "BoxText_Panel"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QPushButton(captions[i], colors);
    b->setObjectName(buttonNames[i]);
    b->setAutoDefault(false);
    const int tag = i + 1;
    connect(b, &QPushButton::clicked, this, [this, tag] { ColorCtrl_Popup(tag); });
    panels_[i] = new ConfigSwatch(panelNames[i], colors);
    connect(panels_[i], &ConfigSwatch::dropped, this, [this] { UpdateExamples(); });
    grid->addWidget(b, i, 0);
    grid->addWidget(panels_[i], i, 1);
  }
  ScreenFont_Btn = new QPushButton("Scr&een font", colors);
  ScreenFont_Btn->setObjectName("ScreenFont_Btn");
  PrintFont_Btn = new QPushButton("Pri&nt font", colors);
  PrintFont_Btn->setObjectName("PrintFont_Btn");
  connect(ScreenFont_Btn, &QPushButton::clicked, this, [this] { FontChange_Cmd(true); });
  connect(PrintFont_Btn, &QPushButton::clicked, this, [this] { FontChange_Cmd(false); });
  grid->addWidget(ScreenFont_Btn, 4, 0);
  grid->addWidget(PrintFont_Btn, 4, 1);

  auto* presets = new QGroupBox("Presets", page);
  auto* pl = new QVBoxLayout(presets);
  BuildIn_Combo = new QComboBox(presets);
  BuildIn_Combo->setObjectName("BuildIn_Combo");
  for (const char* entry : kBuildIn) BuildIn_Combo->addItem(entry);
  connect(BuildIn_Combo, qOverload<int>(&QComboBox::activated), this, &TFormConfig::BuildIn_Change);
  Preset_ListBox = new QListWidget(presets);
  Preset_ListBox->setObjectName("Preset_ListBox");
  // A click, or the arrow keys within the list; the list taking the focus
  // (and with it a current row) chooses nothing.
  connect(Preset_ListBox, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { Preset_Change(Preset_ListBox->row(item)); });
  connect(Preset_ListBox, &QListWidget::currentItemChanged, this,
          [this](QListWidgetItem* item, QListWidgetItem* previous) {
            if (item && previous) Preset_Change(Preset_ListBox->row(item));
          });
  SavePreset_BitBtn = new QPushButton("&Save", presets);
  SavePreset_BitBtn->setObjectName("SavePreset_BitBtn");
  Delete_BitBtn = new QPushButton("&Delete", presets);
  Delete_BitBtn->setObjectName("Delete_BitBtn");
  connect(SavePreset_BitBtn, &QPushButton::clicked, this, &TFormConfig::SavePreset_Cmd);
  connect(Delete_BitBtn, &QPushButton::clicked, this, &TFormConfig::DeletePreset_Cmd);
  auto* presetButtons = new QHBoxLayout;
  presetButtons->addWidget(SavePreset_BitBtn);
  presetButtons->addWidget(Delete_BitBtn);
  pl->addWidget(BuildIn_Combo);
  pl->addWidget(Preset_ListBox, 1);
  pl->addLayout(presetButtons);

  Editor_Memo = Example("Editor_Memo", page);
  Box_Memo = Example("Box_Memo", page);
  auto* layout = new QGridLayout(page);
  layout->addWidget(colors, 0, 0);
  layout->addWidget(presets, 0, 1);
  layout->addWidget(Editor_Memo, 1, 0);
  layout->addWidget(Box_Memo, 1, 1);
  layout->setRowStretch(0, 1);
  return page;
}

void TFormConfig::ColorEntryBoxes() {
  // The entry boxes show the box colors that are applied, not the swatches.
  const AppOptions& o = host_->Options();
  for (QWidget* w : std::initializer_list<QWidget*>{Sound_Combo, TabSize1_UpDown, RecentMax_UpDown,
                                                    BuildIn_Combo, Preset_ListBox, Recent_ListView,
                                                    Reg_ListView, Reg_Combo})
    ColorBox(w, o.BoxBackColor, o.BoxTextColor);
}

void TFormConfig::UpdateExamples(bool userChange) {
  if (userChange) CheckAutoApply();
  Editor_Memo->setFont(EditorFont(DlgFontName, DlgFontSize));
  ColorBox(Editor_Memo, panels_[0]->ColorValue(), panels_[1]->ColorValue());
  Editor_Memo->setPlainText(ToQString(EditorExampleText(DlgFontName, DlgFontSize)).replace("\r\n", "\n"));
  ColorBox(Box_Memo, panels_[2]->ColorValue(), panels_[3]->ColorValue());
  const QFont boxFont = Box_Memo->font();
  Box_Memo->setPlainText(
      Utf8ToQ(BoxExampleText(QToUtf8(boxFont.family()), boxFont.pointSize())).replace("\r\n", "\n"));
  ColorEntryBoxes();
}

std::int64_t TFormConfig::AskColor(std::int64_t initial) {
  if (askColor_) return askColor_(initial);
  return PickColor(this, host_->SettingsStore(), initial, "");
}

void TFormConfig::ColorCtrl_Popup(int tag) {
  if (tag < 1 || tag > 4) return;
  ConfigSwatch* panel = panels_[tag - 1];
  const std::int64_t chosen = AskColor(panel->Rgb());
  if (chosen != -1) panel->SetColor(static_cast<std::uint32_t>(chosen) & 0xFFFFFF);
  UpdateExamples();
}

std::optional<TFormConfig::FontChoice> TFormConfig::AskFont(const std::string& name, int size) {
  if (askFont_) return askFont_(name, size);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, QFont(ToQString(name), size > 0 ? size : 10), this);
  if (!ok) return std::nullopt;
  return FontChoice{FromQString(chosen.family()), chosen.pointSize() > 0 ? chosen.pointSize() : size};
}

void TFormConfig::FontChange_Cmd(bool screen) {
  AppOptions& o = host_->Options();
  if (screen) {
    if (const auto f = AskFont(DlgFontName, DlgFontSize)) {
      DlgFontName = f->name;
      DlgFontSize = f->size;
    }
  } else if (const auto f = AskFont(o.FontNamePrint, o.FontSizePrint)) {
    // The print font is taken at once; Cancel does not undo it.
    o.FontNamePrint = f->name;
    o.FontSizePrint = f->size;
  }
  UpdateExamples();
}

void TFormConfig::BuildIn_Change(int index) {
  if (index < 1 || index > static_cast<int>(ColorThemes().size())) return;
  {
    QSignalBlocker quiet(Preset_ListBox);
    Preset_ListBox->setCurrentRow(-1);
    Preset_ListBox->clearSelection();
  }
  DlgFontName = "Courier New";
  DlgFontSize = 10;
  // The theme table on a copy: neither the options nor the editor change.
  AppOptions copy = host_->Options();
  ApplyThemeColors(copy, index - 1);
  const ColorRef colors[4] = {copy.BackColor, copy.TextColor, copy.BoxBackColor, copy.BoxTextColor};
  for (int i = 0; i < 4; ++i) panels_[i]->SetColor(colors[i]);
  UpdateExamples();
}

// ---- presets ----

void TFormConfig::LoadColorPresets() {
  // A list the file could not take is newer than the file: keep it.
  if (presetsUnsaved_) return;
  std::string path;
  const PresetFile file = ql::LoadColorPresets(PresetsFileCandidates(), &path);
  presets_ = file.presets;
  const std::string message = PresetLoadMessage(file, path);
  if (!message.empty()) MsgBox(message, "Color presets", 48);
}

void TFormConfig::FillPresetList() {
  QSignalBlocker quiet(Preset_ListBox);
  Preset_ListBox->setUpdatesEnabled(false);
  Preset_ListBox->clear();
  for (const std::string& line : PresetListLines(presets_)) Preset_ListBox->addItem(ToQString(line));
  Preset_ListBox->setCurrentRow(-1);
  Preset_ListBox->setUpdatesEnabled(true);
}

void TFormConfig::Preset_Change(int row) {
  if (row < 0 || row >= static_cast<int>(presets_.size())) return;
  const TColorPreset& p = presets_[static_cast<std::size_t>(row)];
  DlgFontName = p.FontName;
  DlgFontSize = PresetFontSize(p);
  const PresetColor colors[4] = {p.BackColor, p.TextColor, p.BoxBackColor, p.BoxTextColor};
  for (int i = 0; i < 4; ++i) panels_[i]->SetColor(colors[i]);
  UpdateExamples();
}

std::optional<std::string> TFormConfig::AskName(const std::string& caption, const std::string& prompt) {
  if (askName_) return askName_(caption, prompt);
  bool ok = false;
  const QString text = QInputDialog::getText(this, Utf8ToQ(caption), Utf8ToQ(prompt), QLineEdit::Normal, "", &ok);
  if (!ok) return std::nullopt;
  return FromQString(text);
}

void TFormConfig::SavePresetsFile() {
  std::string error;
  const std::string path = UserPresetsFile();
  presetsUnsaved_ = !SaveColorPresets(path, presets_, error);
  if (presetsUnsaved_) MsgBox(PresetSaveFailedText(path, error), "Save preset", 48);
}

void TFormConfig::SavePreset_Cmd() {
  const std::optional<std::string> name = AskName("Save preset", "Type preset name");
  if (!name) return;
  TColorPreset p;
  p.Name = *name;
  p.FontName = DlgFontName;
  p.FontSize = DlgFontSize;
  p.BackColor = panels_[0]->ColorValue();
  p.TextColor = panels_[1]->ColorValue();
  p.BoxBackColor = panels_[2]->ColorValue();
  p.BoxTextColor = panels_[3]->ColorValue();
  switch (AddPreset(presets_, p, ResolveColor)) {
    case AddPresetResult::BadName:
      return;  // empty or longer than 16 characters: nothing, as always
    case AddPresetResult::Full:
      MsgBox(kPresetsFullText, "Save preset", 48);
      return;
    case AddPresetResult::Added:
      break;
  }
  SavePresetsFile();
  FillPresetList();
}

void TFormConfig::DeletePreset_Cmd() {
  const int row = Preset_ListBox->currentRow();
  if (row < 0 || row >= static_cast<int>(presets_.size())) return;
  presets_.erase(presets_.begin() + row);
  SavePresetsFile();
  FillPresetList();
}

}  // namespace ql
