// "Association options": associates the text types of two pages with the
// program on the freedesktop rules (see dialogs/Associate.h), shows the
// state of each type and reports every failure.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/Associate.h"

class QListWidget;
class QRadioButton;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace ql {

class Store;

// The extension's MIME type as the desktop knows it (QMimeDatabase), or
// our own type when it knows none.
FileType ResolveFileType(const std::string& ext);

class TFormAssociate : public QDialog {
  Q_OBJECT

 public:
  TFormAssociate(QWidget* owner, Store& store, std::uint32_t boxBack, std::uint32_t boxText);

  void PreReadFileAsso();
  void DoCmd_BtnClick();
  void CheckSelection(bool on);

  QTabWidget* PageCtrl = nullptr;
  QListWidget* Type1_ChkBox = nullptr;
  QListWidget* Type2_ChkBox = nullptr;
  QRadioButton* AssoDefault1_Radio = nullptr;
  QRadioButton* AssoRight1_Radio = nullptr;
  QRadioButton* UnAsso1_Radio = nullptr;
  QRadioButton* AddShellNew1_Radio = nullptr;
  QRadioButton* DelShellNew1_Radio = nullptr;
  QRadioButton* AssoRight2_Radio = nullptr;
  QRadioButton* UnAsso2_Radio = nullptr;
  QRadioButton* AddShellNew2_Radio = nullptr;
  QRadioButton* DelShellNew2_Radio = nullptr;
  QPushButton* DoCmd_Btn = nullptr;
  QPushButton* Close_Btn = nullptr;
  QPushButton* Update_Btn = nullptr;
  QPushButton* SelAll_Btn = nullptr;
  QPushButton* SelNone_Btn = nullptr;
  QPushButton* Help_Btn = nullptr;
  QTreeWidget* ListView1 = nullptr;

 private:
  AssocContext Context() const;
  const std::vector<TypeItem>& PageItems() const;
  QListWidget* PageList() const;
  int ChosenCommand() const;
  void Report(const AssocReport& report);

  Store& store_;
};

}  // namespace ql
