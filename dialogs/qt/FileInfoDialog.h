// The file information window: names, type and icons from the desktop's
// MIME database, sizes, times and the read-only box of one file; values are
// copied by clicking them.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "dialogs/FileInfo.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

namespace ql {

class TFormFileInfo : public QDialog {
  Q_OBJECT

 public:
  TFormFileInfo(QWidget* parent, const std::string& path);

  // The chooser behind Ctrl+Shift+Alt+click on an icon; tests answer
  // instead ("" = cancelled).
  using Chooser = std::function<std::string(const std::string& startFolder)>;
  void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

  const std::string& FileName() const { return path_; }
  const FileDetails& Details() const { return details_; }
  std::uint32_t ComposedMode() const;

  QWidget* Content_Panel = nullptr;
  QLabel* FileName2_Label = nullptr;
  QLabel* PathName2_Label = nullptr;
  QLabel* Type2_Label = nullptr;
  QLabel* SizeBit_Label = nullptr;
  QLabel* SizeByte_Label = nullptr;
  QLabel* SizeKb_Label = nullptr;
  QLabel* SizeMb_Label = nullptr;
  QLabel* Created2_Label = nullptr;
  QLabel* Modified2_Label = nullptr;
  QLabel* Accessed2_Label = nullptr;
  QLabel* DosName2_Label = nullptr;
  QLabel* DosPath2_Label = nullptr;
  QLabel* FileLa_Image = nullptr;
  QLabel* FileSm_Image = nullptr;
  QCheckBox* ReadOnly_Chk = nullptr;
  QCheckBox* Archive_Chk = nullptr;
  QCheckBox* Hidden_Chk = nullptr;
  QCheckBox* System_Chk = nullptr;
  QCheckBox* Temp_Chk = nullptr;
  QCheckBox* Dir_Chk = nullptr;
  QPushButton* Save_Btn = nullptr;
  QPushButton* Exec_Btn = nullptr;
  QPushButton* Close_Btn = nullptr;

  bool FillView();  // false when the file could not be read
  void EnableOkBtn();
  void SaveAttr_Cmd();
  void Exec_Cmd();
  void ChangeFile_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void Labels_MouseMove(QLabel* label);
  void Labels_MouseDown(QLabel* label);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* ValueLabel(const char* name, const char* text);
  void FillFailed();

  std::string path_;
  FileDetails details_;
  bool filled_ = false;
  std::string chooserDir_;  // where the chooser starts; our working folder stays
  Chooser chooser_;
  std::vector<QLabel*> values_;
  QLabel* current_ = nullptr;  // the value label under the mouse
};

}  // namespace ql
