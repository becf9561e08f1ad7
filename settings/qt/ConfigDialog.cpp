// The dialog's frame, the General page and the buttons below the pages.
#include "settings/qt/ConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "platform/qt/Help.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/QtText.h"
#include "settings/qt/ConfigHost.h"
#include "settings/qt/ConfigSwatch.h"

namespace ql {

namespace {

struct CheckDef {
  const char* name;
  const char* caption;
  const char* hint;
};
// In the order of the check-mark options.
constexpr CheckDef kChecks[kCheckCount] = {
    {"WordWrap_Chk", "Activate &Word Wrap", "Shortcut in main window: (Ctrl+W)"},
    {"ToolBar_Chk", "Enable &ToolBar", "Shortcut in main window: (Ctrl+Alt+T)"},
    {"StatusBar_Chk", "Enable Status&Bar", "Shortcut in main window: (Ctrl+Alt+S)"},
    {"FullPath_Chk", "&Full path in TitleBar", "Shortcut in main window: (Ctrl+Alt+P)"},
    {"SaveAuto_Chk", "&Save settings automatic", ""},
    {"DefRecentIcon_Chk", "Use &default icon in recent list", ""},
    {"AutoIndent_Chk", "Auto Indent", "Shortcut in main window: (Ctrl+Alt+A)"},
    {"PromptBinary_Chk", "Prompt to load as a binary file, if characters and filesize differs", ""},
    {"ChangeNfoFont_Chk", "Change to Terminal font if more than 10 NFO characters is found", ""},
};

QIcon Themed(const char* name, QStyle::StandardPixmap fallback, QStyle* style) {
  return QIcon::fromTheme(name, style->standardIcon(fallback));
}

}  // namespace

TFormConfig::TFormConfig(std::unique_ptr<ConfigHost> host, QWidget* parent)
    : QDialog(parent), host_(std::move(host)) {
  setObjectName("FormConfig");
  setWindowTitle("Quillora Configuration");
  setWindowIcon(Themed("preferences-system", QStyle::SP_ComputerIcon, style()));

  PageCtrl1 = new QTabWidget(this);
  PageCtrl1->setObjectName("PageCtrl1");
  PageCtrl1->addTab(BuildGeneralPage(), Themed("preferences-system", QStyle::SP_ComputerIcon, style()),
                    "&General");
  PageCtrl1->addTab(BuildColorPage(), Themed("preferences-desktop-color", QStyle::SP_DesktopIcon, style()),
                    "Font && Colo&r");
  PageCtrl1->addTab(BuildRecentPage(), Themed("document-open-recent", QStyle::SP_DirOpenIcon, style()),
                    "Recent Li&st");
  PageCtrl1->addTab(BuildRegistryPage(), Themed("document-properties", QStyle::SP_FileDialogDetailedView, style()),
                    "Registr&y");
  connect(PageCtrl1, &QTabWidget::currentChanged, this, &TFormConfig::PageCtrl1_Change);

  AutoApply_Chk = new QCheckBox("Auto App&ly", this);
  AutoApply_Chk->setObjectName("AutoApply_Chk");
  connect(AutoApply_Chk, &QCheckBox::clicked, this, &TFormConfig::AutoApply_ChkClick);
  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  Help_Btn = button("Help_Btn", "&Help");
  Save_Btn = button("Save_Btn", "&Save");
  Ok_Btn = button("Ok_Btn", "&OK");
  Apply_Btn = button("Apply_Btn", "&Apply");
  Cancel_Btn = button("Cancel_Btn", "&Cancel");
  Ok_Btn->setDefault(true);  // Enter; Esc rejects as every dialog does
  connect(Help_Btn, &QPushButton::clicked, this, [] { ShowHelpTopic(91); });
  connect(Save_Btn, &QPushButton::clicked, this, &TFormConfig::Save_BtnClick);
  connect(Ok_Btn, &QPushButton::clicked, this, &TFormConfig::Ok_Click);
  connect(Apply_Btn, &QPushButton::clicked, this, &TFormConfig::Apply_Click);
  connect(Cancel_Btn, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(AutoApply_Chk);
  buttons->addWidget(Help_Btn);
  buttons->addStretch(1);
  for (QPushButton* b : {Save_Btn, Ok_Btn, Apply_Btn, Cancel_Btn}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageCtrl1, 1);
  layout->addLayout(buttons);
  resize(560, 440);
}

TFormConfig::~TFormConfig() = default;

QWidget* TFormConfig::BuildGeneralPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  int row = 0;
  for (int i = 0; i < kCheckCount; ++i) {
    auto* box = new QCheckBox(kChecks[i].caption, page);
    box->setObjectName(kChecks[i].name);
    if (*kChecks[i].hint) box->setToolTip(kChecks[i].hint);
    connect(box, &QCheckBox::toggled, this, &TFormConfig::CheckAutoApply);
    checks_[i] = box;
    grid->addWidget(box, row++, 0, 1, 3);
  }
  Sound_Combo = new QComboBox(page);
  Sound_Combo->setObjectName("Sound_Combo");
  Sound_Combo->addItems({"None!", "PC Speaker", "Asterisk", "Exclamation", "Hand", "Question", "Default"});
  connect(Sound_Combo, qOverload<int>(&QComboBox::currentIndexChanged), this, &TFormConfig::CheckAutoApply);
  TestSound_SpdBtn = new QToolButton(page);
  TestSound_SpdBtn->setObjectName("TestSound_SpdBtn");
  TestSound_SpdBtn->setIcon(Themed("audio-volume-high", QStyle::SP_MediaVolume, style()));
  TestSound_SpdBtn->setAutoRaise(true);
  connect(TestSound_SpdBtn, &QToolButton::clicked, this, &TFormConfig::TestSound_SpdBtnClick);
  auto spin = [this, page](const char* name, int lo, int hi, const char* hint) {
    auto* s = new QSpinBox(page);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setToolTip(hint);
    // Applied with the value it has now, not the one it had.
    connect(s, qOverload<int>(&QSpinBox::valueChanged), this, &TFormConfig::CheckAutoApply);
    return s;
  };
  TabSize1_UpDown = spin("TabSize1_UpDown", kTabPositionMin, kTabPositionMax, "Default value: 8pt");
  RecentMax_UpDown = spin("RecentMax_UpDown", kRecentPositionMin, kRecentPositionMax, "Default value: 12 items");
  auto label = [page](const char* text, QWidget* buddy) {
    auto* l = new QLabel(text, page);
    l->setBuddy(buddy);
    return l;
  };
  grid->addWidget(label("Function complete sound:", Sound_Combo), row, 0);
  grid->addWidget(Sound_Combo, row, 1);
  grid->addWidget(TestSound_SpdBtn, row++, 2, Qt::AlignLeft);
  grid->addWidget(label("Tab size in points:", TabSize1_UpDown), row, 0);
  grid->addWidget(TabSize1_UpDown, row++, 1);
  grid->addWidget(label("Max items in recent menu:", RecentMax_UpDown), row, 0);
  grid->addWidget(RecentMax_UpDown, row++, 1);

  Associate_Btn = new QPushButton("Associat&ion Options", page);
  Associate_Btn->setObjectName("Associate_Btn");
  Shortcut_Btn = new QPushButton("Shortc&uts", page);
  Shortcut_Btn->setObjectName("Shortcut_Btn");
  DefSettings_Btn = new QPushButton("Default settings!", page);
  DefSettings_Btn->setObjectName("DefSettings_Btn");
  connect(Associate_Btn, &QPushButton::clicked, this, [this] { host_->Associate_Open(); });
  connect(Shortcut_Btn, &QPushButton::clicked, this, [] { ShowHelpTopic(3); });
  connect(DefSettings_Btn, &QPushButton::clicked, this, &TFormConfig::DefSettings_BtnClick);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {Associate_Btn, Shortcut_Btn, DefSettings_Btn}) buttons->addWidget(b);
  buttons->addStretch(1);
  grid->addLayout(buttons, row++, 0, 1, 3);
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(2, 1);
  return page;
}

void TFormConfig::FormShow() {
  {
    // Loading is no change of the user's: nothing runs, nothing is applied.
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QObject* o : findChildren<QObject*>()) quiet.push_back(std::make_unique<QSignalBlocker>(o));
    const ConfigValues v = ConfigFromOptions(host_->Options());
    for (int i = 0; i < kCheckCount; ++i) checks_[i]->setChecked(v.checks[i]);
    Sound_Combo->setCurrentIndex(v.sound);
    RecentMax_UpDown->setValue(v.recentPosition);
    TabSize1_UpDown->setValue(v.tabPosition);
    for (int i = 0; i < 4; ++i) panels_[i]->SetColor(v.colors[i]);
    DlgFontName = v.fontName;
    DlgFontSize = v.fontSize;
    BuildIn_Combo->setCurrentIndex(0);
  }
  Apply_Btn->setEnabled(false);
  Save_Btn->setEnabled(true);
  Associate_Btn->setEnabled(host_->CanAssociate());
  UpdateExamples(false);
  LoadColorPresets();
  FillPresetList();
  PageCtrl1_Change(PageCtrl1->currentIndex());
}

ConfigValues TFormConfig::ControlValues() const {
  ConfigValues v;
  for (int i = 0; i < kCheckCount; ++i) v.checks[i] = checks_[i]->isChecked();
  v.sound = Sound_Combo->currentIndex();
  v.tabPosition = TabSize1_UpDown->value();
  v.recentPosition = RecentMax_UpDown->value();
  for (int i = 0; i < 4; ++i) v.colors[i] = panels_[i]->ColorValue();
  v.fontName = DlgFontName;
  v.fontSize = DlgFontSize;
  return v;
}

bool TFormConfig::SetSettings_Cmd() {
  const ConfigValues v = ControlValues();
  const std::string same = IdenticalColorsText(v);
  if (!same.empty()) {
    MsgBox(same, "Two identical colors!", 16);
    return false;
  }
  try {
    host_->ShowStatus("Setting all the settings...");
    ApplyConfigValues(v, host_->Options(), host_->Lists());
    host_->ApplySettings();
    host_->ShowStatus("All Setting have been set");
  } catch (const std::exception&) {
    MsgBox("An error occured while the settings where set!", "Fatal Error!", 16);
    return false;
  }
  return true;
}

void TFormConfig::Apply_Click() {
  SetSettings_Cmd();
  UpdateExamples(false);
  Apply_Btn->setEnabled(false);
}

void TFormConfig::AutoApply_ChkClick() {
  Apply_Btn->setEnabled(!AutoApply_Chk->isChecked());
  if (AutoApply_Chk->isChecked()) Apply_Click();
}

void TFormConfig::CheckAutoApply() {
  if (AutoApply_Chk->isChecked())
    SetSettings_Cmd();
  else
    Apply_Btn->setEnabled(true);
  Save_Btn->setEnabled(true);
}

void TFormConfig::Save_BtnClick() {
  Apply_Click();
  Save_Btn->setEnabled(false);
  host_->SaveSettings_Cmd();
}

void TFormConfig::Ok_Click() {
  SetSettings_Cmd();  // closes also when it refused
  accept();
}

void TFormConfig::DefSettings_BtnClick() {
  if (MsgBox(kDefaultsText, kDefaultsCaption, 4 + 48) != 6) return;
  const ConfigValues d = DefaultConfigValues();
  for (int i = 0; i < kCheckCount; ++i) checks_[i]->setChecked(d.checks[i]);
  Sound_Combo->setCurrentIndex(d.sound);
  TabSize1_UpDown->setValue(d.tabPosition);
  RecentMax_UpDown->setValue(d.recentPosition);
  BuildIn_Combo->setCurrentIndex(1);  // "System/Notepad", also when it was chosen already
  BuildIn_Change(1);
}

void TFormConfig::TestSound_SpdBtnClick() { host_->PlayCompletionSound(Sound_Combo->currentIndex()); }

void TFormConfig::PageCtrl1_Change(int index) {
  if (index == 2) FillRecentView();
  if (index == 3) FillRegKeys();
}

}  // namespace ql
