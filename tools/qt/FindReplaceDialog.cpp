#include "tools/qt/FindReplaceDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/qt/Look.h"
#include "platform/qt/QtText.h"

namespace ql {

namespace {

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TFormFindReplace::TFormFindReplace(FindReplaceDialogHost& host)
    : QDialog(host.HostWindow(), Qt::Tool | Qt::WindowStaysOnTopHint), host_(host) {
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
    // What is typed is what is searched: the history is offered in the
    // drop-down only, never completed into the box.
    combo->setCompleter(nullptr);
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

  // Keys pressed in this window stay in it (see eventFilter).
  qApp->installEventFilter(this);

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

void TFormFindReplace::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TFormFindReplace::FormShow() {
  EditorBuffer& buffer = host_.Buffer();
  const SearchState& state = host_.Search().State();
  Selection_Radio->setEnabled(buffer.SelLength() > 0);
  if (!Selection_Radio->isEnabled() && Selection_Radio->isChecked()) FromCursor_Radio->setChecked(true);
  FillCombo(Find_Combo, host_.History(false));
  FillCombo(Replace_Combo, host_.History(true));
  if (buffer.SelLength() > 0)
    Find_Combo->setEditText(ToQString(buffer.SelText()));
  else if (!state.findText.empty())
    Find_Combo->setEditText(ToQString(state.findText));
  Replace_Combo->setEditText(ToQString(state.replaceText));
  Combos_Change();
  Case_Chk->setChecked(state.caseSensitive);
  WholeWord_Chk->setChecked(state.wholeWord);
  Prompt_Chk->setChecked(state.prompt);
  for (QComboBox* combo : {Find_Combo, Replace_Combo}) {
    QPalette p = combo->palette();
    p.setColor(QPalette::Base, ToQColor(host_.BoxBackColor(), QApplication::palette()));
    p.setColor(QPalette::Text, ToQColor(host_.BoxTextColor(), QApplication::palette()));
    combo->setPalette(p);
  }
  Find_Combo->setFocus();
  Find_Combo->lineEdit()->selectAll();
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
  SearchState& state = host_.Search().State();
  state.caseSensitive = Case_Chk->isChecked();
  state.wholeWord = WholeWord_Chk->isChecked();
  state.prompt = Prompt_Chk->isChecked();
  state.findText = FromQString(Find_Combo->currentText());
  state.replaceText = FromQString(Replace_Combo->currentText());
  if (state.findText.empty()) return;
  host_.EnableFindNext(true);

  // The window's lists are the drop-downs' lists, kept current at each
  // press: settings saved while the dialog is open hold them too.
  host_.AddToHistory(false, state.findText);
  FillCombo(Find_Combo, host_.History(false));
  const bool replacing = button == SearchButton::Replace || button == SearchButton::ReplaceAll;
  if (replacing) {
    host_.AddToHistory(true, state.replaceText);
    FillCombo(Replace_Combo, host_.History(true));
  }
  Find_Combo->setEditText(ToQString(state.findText));
  if (replacing) Replace_Combo->setEditText(ToQString(state.replaceText));

  SetOrigin(host_.Search().Press(button, Origin()));
  if (button == SearchButton::Find || button == SearchButton::ReplaceAll) Close_Cmd();
}

void TFormFindReplace::Close_Cmd() { hide(); }

// This tool window stays on top of the main window and counts as part of it
// for shortcuts, so the main window's menu bar would take Alt+E, Alt+F,
// Alt+S ... and its shortcuts would act on the document while the user
// types here. Every key meant for one of this window's controls is
// therefore kept from the shortcut system: the control gets it as a plain
// key press (a text box handles its own Ctrl+X, Ctrl+Z ...), and Alt plus a
// letter or digit is this window's own access key or nothing.
bool TFormFindReplace::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
    return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this || !isVisible()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (type == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  // Alt alone would walk into the main window's menu bar on some styles.
  if (key->key() == Qt::Key_Alt) return true;
  if (type != QEvent::KeyPress) return false;
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  const bool alt = (mods & Qt::AltModifier) && !(mods & (Qt::ControlModifier | Qt::MetaModifier));
  const int k = key->key();
  if (!alt || !((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9))) return false;
  AccessKey(k);
  return true;
}

// Alt + key: the next control after the focused one whose caption has that
// access key ("Ca&se sensitive", then "From &start" on a second press); a
// button is pressed, a check box or radio button clicked, a label's box
// focused. Returns whether a control took it.
bool TFormFindReplace::AccessKey(int key) {
  const QKeySequence wanted(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(key)));
  std::vector<QWidget*> targets;
  for (QWidget* w : findChildren<QWidget*>()) {
    QString caption;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) caption = b->text();
    else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) caption = l->text();
    if (caption.isEmpty() || QKeySequence::mnemonic(caption) != wanted) continue;
    QWidget* acting = qobject_cast<QLabel*>(w) ? static_cast<QLabel*>(w)->buddy() : w;
    if (acting->isVisible() && acting->isEnabled()) targets.push_back(w);
  }
  if (targets.empty()) return false;
  QWidget* focus = QApplication::focusWidget();
  std::size_t next = 0;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    QWidget* t = qobject_cast<QLabel*>(targets[i]) ? static_cast<QLabel*>(targets[i])->buddy() : targets[i];
    if (focus && (t == focus || t->isAncestorOf(focus))) next = (i + 1) % targets.size();
  }
  QWidget* target = targets[next];
  if (auto* label = qobject_cast<QLabel*>(target)) {
    label->buddy()->setFocus(Qt::ShortcutFocusReason);
  } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
    if (button->isCheckable()) button->setFocus(Qt::ShortcutFocusReason);
    button->click();
  }
  return true;
}

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
