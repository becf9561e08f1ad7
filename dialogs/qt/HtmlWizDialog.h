// "HTML Wizard v1.1": title, background picture, META values, body colors
// and margins of a new page; OK builds the page text (PageText) for the
// window to put in place of its selection.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "dialogs/HtmlWiz.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

class ColorSwatch;

// What the wizard needs from the main window.
class HtmlWizardHost {
 public:
  virtual ~HtmlWizardHost() = default;
  virtual std::string DocFileName() = 0;  // "Untitled" for a document never saved
  virtual bool DocumentOnDisk() = 0;
  virtual void SaveAs() = 0;              // the window's own Save As (may be cancelled)
  virtual std::int64_t PickColor(std::int64_t initial) = 0;  // -1: cancelled
  virtual std::string ChoosePicture(const std::string& folder) = 0;  // "": cancelled
  virtual std::uint32_t BoxBackColor() = 0;
  virtual std::uint32_t BoxTextColor() = 0;
};

class TFormHtmlWiz : public QDialog {
  Q_OBJECT

 public:
  TFormHtmlWiz(QWidget* parent, HtmlWizardHost& host);

  // Filled by Ok_BtnClick.
  const std::string& PageText() const { return pageText_; }
  WizardPage Page() const;

  void Meta_ComboChange(int index);
  void Meta_EditChange();
  void SelectColor_Cmd(int swatch);  // 0 back, 1 text, 2 link, 3 active, 4 visited
  void Browse_BtnClick();
  void Ok_BtnClick();

  QLineEdit* Title_Edit = nullptr;
  QLineEdit* Background_Edit = nullptr;
  QPushButton* Browse_Btn = nullptr;
  QCheckBox* FixedBG_Chk = nullptr;
  QCheckBox* Meta_Chk = nullptr;
  QComboBox* Meta_Combo = nullptr;
  QLineEdit* Meta_Edit = nullptr;
  QCheckBox* Color_Chk = nullptr;
  std::array<ColorSwatch*, 5> swatches_{};     // Back_Panel ... VLink_Panel
  std::array<QPushButton*, 5> colorButtons_{};  // Back_Btn ... VLink_Btn
  QCheckBox* Margin_Chk = nullptr;
  QLineEdit* TopMarg_Edit = nullptr;
  QLineEdit* LeftMarg_Edit = nullptr;
  QLineEdit* RightMarg_Edit = nullptr;
  QFrame* ExBack_Panel = nullptr;
  std::array<QLabel*, 4> exampleLabels_{};  // text, link, active, visited
  QPushButton* Ok_Btn = nullptr;
  QPushButton* Cancel_Btn = nullptr;

 private:
  void UpdatePreview();

  HtmlWizardHost& host_;
  std::string pageText_;
};

// The logged-on user's name, else the computer's (for the Author value).
std::string AuthorName();

}  // namespace ql
