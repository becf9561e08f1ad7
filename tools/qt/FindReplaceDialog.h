// The Find/Replace tool window: collects the texts, options and origin
// and starts one of five actions on the window's search engine.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "tools/FindReplace.h"

class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QRadioButton;

namespace ql {

class TFormQuillora;

class TFormFindReplace : public QDialog {
  Q_OBJECT

 public:
  explicit TFormFindReplace(TFormQuillora& main);

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
  void hideEvent(QHideEvent* event) override;

 private:
  void FormShow();
  void FormHide();
  SearchOrigin Origin() const;
  void SetOrigin(SearchOrigin origin);
  void FillCombo(QComboBox* combo, const std::vector<std::string>& list);
  std::vector<std::string> ComboList(const QComboBox* combo) const;
  void ContextMenu(QComboBox* combo, const QPoint& at);

  TFormQuillora& main_;
  QMenu* PopupMenu1 = nullptr;
};

}  // namespace ql
