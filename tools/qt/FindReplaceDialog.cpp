#include "tools/qt/FindReplaceDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/Options.h"
#include "app/qt/MainQuillora.h"
#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

constexpr std::size_t kHistoryMax = 12;

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TFormFindReplace::TFormFindReplace(TFormQuillora& main)
    : QDialog(&main, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main) {
  setObjectName("FormFindReplace");
  setWindowTitle("Find/Replace");
  setModal(false);

  Find_Combo = new QComboBox(this);
  Replace_Combo = new QComboBox(this);
  for (auto [combo, name] : {std::pair{Find_Combo, "Find_Combo"}, std::pair{Replace_Combo, "Replace_Combo"}}) {
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setMaxVisibleItems(12);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(280);
    combo->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(combo->lineEdit(), &QLineEdit::customContextMenuRequested, this,
            [this, combo](const QPoint& at) { ContextMenu(combo, at); });
    connect(combo, &QComboBox::editTextChanged, this, &TFormFindReplace::Combos_Change);
  }
  auto* findLabel = new QLabel("Fi&nd:", this);
  findLabel->setBuddy(Find_Combo);
  auto* replaceLabel = new QLabel("R&eplace:", this);
  replaceLabel->setBuddy(Replace_Combo);

  auto* options = new QGroupBox("Options", this);
  options->setObjectName("Opt_Grp");
  Case_Chk = new QCheckBox("Ca&se sensitive", options);
  WholeWord_Chk = new QCheckBox("Find only &whole words", options);
  Prompt_Chk = new QCheckBox("&Prompt on replace", options);
  Prompt_Chk->setChecked(true);
  auto* optionsLayout = new QVBoxLayout(options);
  for (QCheckBox* c : {Case_Chk, WholeWord_Chk, Prompt_Chk}) optionsLayout->addWidget(c);

  auto* origin = new QGroupBox("Origin", this);
  origin->setObjectName("Origin_Grp");
  FromStart_Radio = new QRadioButton("From &start", origin);
  FromCursor_Radio = new QRadioButton("Fr&om cursor", origin);
  Selection_Radio = new QRadioButton("Wi&thin selection", origin);
  FromCursor_Radio->setChecked(true);
  auto* originLayout = new QVBoxLayout(origin);
  for (QRadioButton* r : {FromStart_Radio, FromCursor_Radio, Selection_Radio}) {
    originLayout->addWidget(r);
    connect(r, &QRadioButton::clicked, this, &TFormFindReplace::Button_Check);
  }

  Find_Btn = Button("Find_Btn", "&Find", this);
  Find_Btn->setDefault(true);
  FindNext_Btn = Button("FindNext_Btn", "Find Ne&xt", this);
  FindAll_Btn = Button("FindAll_Btn", "F&ind All", this);
  Replace_Btn = Button("Replace_Btn", "&Replace", this);
  ReplaceAll_Btn = Button("ReplaceAll_Btn", "Replace &All", this);
  Close_Btn = Button("Close_Btn", "&Close", this);
  const std::pair<QPushButton*, SearchButton> actions[] = {
      {Find_Btn, SearchButton::Find},       {FindNext_Btn, SearchButton::FindNext},
      {FindAll_Btn, SearchButton::FindAll}, {Replace_Btn, SearchButton::Replace},
      {ReplaceAll_Btn, SearchButton::ReplaceAll}};
  for (const auto& [button, which] : actions) {
    button->setEnabled(false);
    const SearchButton b = which;
    connect(button, &QPushButton::clicked, this, [this, b] { Initial_Btn(b); });
  }
  connect(Close_Btn, &QPushButton::clicked, this, &TFormFindReplace::Close_Cmd);

  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(Find_Combo, 0, 1, 1, 2);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(Replace_Combo, 1, 1, 1, 2);
  grid->addWidget(options, 2, 0, 1, 2);
  grid->addWidget(origin, 2, 2);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {Find_Btn, FindNext_Btn, FindAll_Btn, Replace_Btn, ReplaceAll_Btn, Close_Btn})
    buttons->addWidget(b);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 3, 1);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  const std::pair<const char*, const char*> items[] = {
      {"&Undo", "Ctrl+Z"}, {"", ""}, {"Cu&t", "Ctrl+X"}, {"&Copy", "Ctrl+C"},
      {"&Paste", "Ctrl+V"}, {"", ""}, {"&Select All", "Ctrl+A"}};
  int tag = 0;
  for (const auto& [caption, keys] : items) {
    if (!*caption) {
      PopupMenu1->addSeparator();
      continue;
    }
    QAction* a = PopupMenu1->addAction(QString(caption) + "\t" + keys);
    const int t = tag++;
    connect(a, &QAction::triggered, this, [this, t] { Edit_Handler(t); });
  }

  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

SearchOrigin TFormFindReplace::Origin() const {
  if (FromStart_Radio->isChecked()) return SearchOrigin::FromStart;
  if (Selection_Radio->isChecked()) return SearchOrigin::WithinSelection;
  return SearchOrigin::FromCursor;
}

void TFormFindReplace::SetOrigin(SearchOrigin origin) {
  (origin == SearchOrigin::FromStart         ? FromStart_Radio
   : origin == SearchOrigin::WithinSelection ? Selection_Radio
                                             : FromCursor_Radio)
      ->setChecked(true);
}

void TFormFindReplace::FillCombo(QComboBox* combo, const std::vector<std::string>& list) {
  const QString text = combo->currentText();
  combo->blockSignals(true);
  combo->clear();
  for (const std::string& item : list) combo->addItem(ToQString(item));
  combo->setEditText(text);
  combo->blockSignals(false);
}

std::vector<std::string> TFormFindReplace::ComboList(const QComboBox* combo) const {
  std::vector<std::string> list;
  for (int i = 0; i < combo->count(); ++i) list.push_back(FromQString(combo->itemText(i)));
  return list;
}

void TFormFindReplace::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TFormFindReplace::hideEvent(QHideEvent* event) {
  FormHide();
  QDialog::hideEvent(event);
}

void TFormFindReplace::FormShow() {
  EditorBuffer& buffer = main_.Buffer();
  const SearchState& state = main_.Search().State();
  Selection_Radio->setEnabled(buffer.SelLength() > 0);
  if (!Selection_Radio->isEnabled() && Selection_Radio->isChecked()) FromCursor_Radio->setChecked(true);
  FillCombo(Find_Combo, main_.Lists().FindHistory);
  FillCombo(Replace_Combo, main_.Lists().ReplaceHistory);
  if (buffer.SelLength() > 0)
    Find_Combo->setEditText(ToQString(buffer.SelText()));
  else if (!state.findText.empty())
    Find_Combo->setEditText(ToQString(state.findText));
  Replace_Combo->setEditText(ToQString(state.replaceText));
  Combos_Change();
  Case_Chk->setChecked(state.caseSensitive);
  WholeWord_Chk->setChecked(state.wholeWord);
  Prompt_Chk->setChecked(state.prompt);
  const AppOptions& o = main_.Options();
  for (QComboBox* combo : {Find_Combo, Replace_Combo}) {
    QPalette p = combo->palette();
    p.setColor(QPalette::Base, ToQColor(o.BoxBackColor, QApplication::palette()));
    p.setColor(QPalette::Text, ToQColor(o.BoxTextColor, QApplication::palette()));
    combo->setPalette(p);
  }
  Find_Combo->setFocus();
  Find_Combo->lineEdit()->selectAll();
}

void TFormFindReplace::FormHide() {
  main_.Lists().FindHistory = ComboList(Find_Combo);
  main_.Lists().ReplaceHistory = ComboList(Replace_Combo);
}

void TFormFindReplace::Combos_Change() {
  const bool any = !Find_Combo->currentText().isEmpty();
  for (QPushButton* b : {Find_Btn, FindNext_Btn, FindAll_Btn, Replace_Btn, ReplaceAll_Btn}) b->setEnabled(any);
}

void TFormFindReplace::Button_Check() {
  const bool replace = !Selection_Radio->isChecked();
  Replace_Btn->setEnabled(replace);
  ReplaceAll_Btn->setEnabled(replace);
}

void TFormFindReplace::Initial_Btn(SearchButton button) {
  SearchState& state = main_.Search().State();
  state.caseSensitive = Case_Chk->isChecked();
  state.wholeWord = WholeWord_Chk->isChecked();
  state.prompt = Prompt_Chk->isChecked();
  state.findText = FromQString(Find_Combo->currentText());
  state.replaceText = FromQString(Replace_Combo->currentText());
  if (state.findText.empty()) return;
  main_.EnableFindNext(true);

  std::vector<std::string> finds = ComboList(Find_Combo);
  AddToHistory(finds, state.findText, kHistoryMax);
  FillCombo(Find_Combo, finds);
  const bool replacing = button == SearchButton::Replace || button == SearchButton::ReplaceAll;
  if (replacing) {
    std::vector<std::string> replaces = ComboList(Replace_Combo);
    AddToHistory(replaces, state.replaceText, kHistoryMax);
    FillCombo(Replace_Combo, replaces);
  }
  Find_Combo->setEditText(ToQString(state.findText));
  if (replacing) Replace_Combo->setEditText(ToQString(state.replaceText));

  SetOrigin(main_.Search().Press(button, Origin()));
  if (button == SearchButton::Find || button == SearchButton::ReplaceAll) Close_Cmd();
}

void TFormFindReplace::Close_Cmd() { hide(); }

void TFormFindReplace::ContextMenu(QComboBox* combo, const QPoint& at) {
  combo->setFocus();
  PopupMenu1->popup(combo->lineEdit()->mapToGlobal(at));
}

void TFormFindReplace::Edit_Handler(int tag) {
  QLineEdit* edit = (Find_Combo->hasFocus() ? Find_Combo : Replace_Combo)->lineEdit();
  switch (tag) {
    case 0: edit->undo(); break;
    case 1: edit->cut(); break;
    case 2: edit->copy(); break;
    case 3: edit->paste(); break;
    case 4: edit->selectAll(); break;
    default: break;
  }
}

}  // namespace ql
