// The Find/Replace tool window: collects the texts, options and origin
// and starts one of five actions on the window's search engine. It reaches
// the main window only through FindReplaceDialogHost.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/FindReplace.h"

class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QRadioButton;

namespace ql {

// What the dialog needs from the main window.
class FindReplaceDialogHost {
 public:
  virtual ~FindReplaceDialogHost() = default;
  virtual QWidget* HostWindow() = 0;  // owns the dialog
  virtual EditorBuffer& Buffer() = 0;
  virtual SearchEngine& Search() = 0;
  // The find (replace false) or replace history, newest first.
  virtual const std::vector<std::string>& History(bool replace) const = 0;
  // Puts text at the top of that history by the program's history rule.
  virtual void AddToHistory(bool replace, const std::string& text) = 0;
  virtual void EnableFindNext(bool on) = 0;
  // The input boxes' colors (0x00BBGGRR or 0x80000000 + system color).
  virtual std::uint32_t BoxBackColor() const = 0;
  virtual std::uint32_t BoxTextColor() const = 0;
};

class TFormFindReplace : public QDialog {
  Q_OBJECT

 public:
  explicit TFormFindReplace(FindReplaceDialogHost& host);

  QComboBox* Find_Combo = nullptr;
  QComboBox* Replace_Combo = nullptr;
  QCheckBox* Case_Chk = nullptr;
  QCheckBox* WholeWord_Chk = nullptr;
  QCheckBox* Prompt_Chk = nullptr;
  QRadioButton* FromStart_Radio = nullptr;
  QRadioButton* FromCursor_Radio = nullptr;
  QRadioButton* Selection_Radio = nullptr;
  QPushButton* Find_Btn = nullptr;
  QPushButton* FindNext_Btn = nullptr;
  QPushButton* FindAll_Btn = nullptr;
  QPushButton* Replace_Btn = nullptr;
  QPushButton* ReplaceAll_Btn = nullptr;
  QPushButton* Close_Btn = nullptr;

  void Initial_Btn(SearchButton button);
  void Combos_Change();
  void Button_Check();
  void Close_Cmd();
  void Edit_Handler(int tag);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool AccessKey(int key);
  void FormShow();
  SearchOrigin Origin() const;
  void SetOrigin(SearchOrigin origin);
  void FillCombo(QComboBox* combo, const std::vector<std::string>& list);
  void ContextMenu(QComboBox* combo, const QPoint& at);

  FindReplaceDialogHost& host_;
  QMenu* PopupMenu1 = nullptr;
};

}  // namespace ql
