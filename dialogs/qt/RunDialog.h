// "Run!": starts a program or opens a file or address, with placeholders
// for the document in the parameters and a history of what ran.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "dialogs/Run.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ql {

class TFormRun : public QDialog {
  Q_OBJECT

 public:
  // Colors: the boxes' background and text (0x00BBGGRR or system colors).
  TFormRun(QWidget* parent, RunHost& host, std::uint32_t boxBack, std::uint32_t boxText);

  // The file chooser; tests answer instead ("" = cancelled).
  using Chooser = std::function<std::string(const std::string& startFolder)>;
  void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

  QComboBox* FileName_Combo = nullptr;
  QLineEdit* Param_Edit = nullptr;
  QLineEdit* InitialDir_Edit = nullptr;
  QPushButton* Browse_Btn = nullptr;
  QPushButton* Run_Btn = nullptr;
  QPushButton* Close_Btn = nullptr;
  QPushButton* Help_Btn = nullptr;
  QPushButton* Clear_Btn = nullptr;

  void FileName_ComboChange(int index);
  void Browse_Cmd();
  void Run_Cmd();
  void Clear_Cmd();
  void Help_BtnClick();
  // Runs under way that wait for the desktop's opener.
  int Pending() const { return pending_; }

 private:
  RunFields Typed() const;
  void Finish(int result, const RunFields& typed, const RunCommand& command);
  void FillCombo();

  RunHost& host_;
  Chooser chooser_;
  int pending_ = 0;
};

}  // namespace ql
