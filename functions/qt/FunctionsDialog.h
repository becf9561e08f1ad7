// "Misc functions": the text-functions dialog with its three pages
// (coloring, encrypt/decrypt, batch insert). It is created once and kept;
// the functions run on the document through the window's TextFunctionHost,
// and the main window's menu items run them without showing the dialog.
#pragma once

#include <QDialog>
#include <QFrame>
#include <cstdint>
#include <string>
#include <vector>

#include "functions/ColoringCommands.h"
#include "functions/TextFunctionHost.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace ql {

// What the dialog needs from the main window.
class FunctionsDialogHost {
 public:
  virtual ~FunctionsDialogHost() = default;
  virtual QWidget* HostWindow() = 0;  // owns the dialog
  virtual TextFunctionHost& Functions() = 0;
  virtual std::string DocFileName() const = 0;
  // Folders holding keyword lists, in order of precedence (later wins).
  virtual std::vector<std::string> KeywordFolders() const = 0;
  // The program's color picker: the chosen color or -1.
  virtual std::int64_t PickColor(std::int64_t color, const std::string& caption) = 0;
  virtual std::uint32_t BoxBackColor() const = 0;
  virtual std::uint32_t BoxTextColor() const = 0;
  virtual void NoText() = 0;  // the shared "No text!" box
  virtual int ExecModal(QDialog& dialog) = 0;
};

// A color swatch of the dialog: dragged onto another swatch it gives its
// color, swapping the two unless Ctrl was held when the drag began.
class FuncSwatch : public QFrame {
  Q_OBJECT

 public:
  FuncSwatch(const QString& name, std::uint32_t color, QWidget* parent);
  std::uint32_t ColorValue() const { return color_; }
  void SetColor(std::uint32_t color);

 signals:
  void dropped(FuncSwatch* source, FuncSwatch* target, bool swap);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  std::uint32_t color_;
};

// The hint of a swatch: hexadecimal and decimal channels.
std::string SwatchHint(std::uint32_t color);
// "NN:SS:ZZZ" of a duration.
std::string DelayText(std::int64_t milliseconds);

class TFormFunc : public QDialog {
  Q_OBJECT

 public:
  explicit TFormFunc(FunctionsDialogHost& host);

  // Prepares and shows the dialog modally.
  void Open();
  // The menu items' entry: prepares without showing and runs the function
  // of the item's tag with the current settings.
  void RunChoice(int tag);
  void DoFunction();
  // FormShow's preparation.
  void Prepare();
  void Color_Change(int tag);
  static void DropSwatch(FuncSwatch* source, FuncSwatch* target, bool swap);
  ColoringColors Colors() const;
  bool BatchPageShown() const { return !batchHidden_; }

  QTabWidget* Main_PageCtrl = nullptr;
  QWidget* Color_Sheet = nullptr;
  QWidget* Encrypt_Sheet = nullptr;
  QWidget* BatchIns_Sheet = nullptr;
  FuncSwatch* TextColor_Panel = nullptr;
  FuncSwatch* TagColor_Panel = nullptr;
  FuncSwatch* DefColor_Panel = nullptr;
  QRadioButton* Standard_Radio = nullptr;
  QRadioButton* HTML_Radio = nullptr;
  QRadioButton* KeyWords_Radio = nullptr;
  QComboBox* WordList_Combo = nullptr;
  QCheckBox* UppercaseTag_Check = nullptr;
  QRadioButton* EncRot13_Radio = nullptr;
  QRadioButton* EncBackward_Radio = nullptr;
  QRadioButton* Binary_Radio = nullptr;
  QRadioButton* Hex_Radio = nullptr;
  QRadioButton* BitShift_Radio = nullptr;
  QLabel* BitShift_Label = nullptr;
  QLineEdit* BitShift_Edit = nullptr;
  QRadioButton* AllText_Radio = nullptr;
  QRadioButton* SelText_Radio = nullptr;
  QRadioButton* Enc_Radio = nullptr;
  QRadioButton* Dec_Radio = nullptr;
  QSpinBox* FromLine_Edit = nullptr;
  QSpinBox* ToLine_Edit = nullptr;
  QLineEdit* Format_Edit = nullptr;
  QCheckBox* LineWithText_Check = nullptr;
  QCheckBox* TrimLeft_Check = nullptr;
  QCheckBox* TrimRight_Check = nullptr;
  QPushButton* DoFunction_Btn = nullptr;
  QLabel* Delay_Label = nullptr;

 private:
  QWidget* BuildColorPage();
  QWidget* BuildEncryptPage();
  QWidget* BuildBatchPage();
  void Radios_Click();
  void EncRadios_Change();
  void HelpBtn_Cmd();
  void RunColoring(int method);  // 1 standard, 2 HTML, 3 keywords
  void RunEncryption();
  void RunBatchInsert();

  FunctionsDialogHost& host_;
  std::vector<KeywordList> lists_;
  bool batchHidden_ = false;
};

}  // namespace ql
