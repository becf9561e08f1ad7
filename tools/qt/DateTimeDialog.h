// "Insert Date/Time": seven ways to write the current date and time, with a
// live example; OK gives the pattern to use.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "tools/DateFormat.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

namespace ql {

// The user's regional settings in our pattern language, names in Windows-1252.
DateLocale SystemDateLocale();
DateTimeParts CurrentDateTime();

class TFormDateTime : public QDialog {
  Q_OBJECT

 public:
  // Colors: the edit box's and the example's (0x00BBGGRR or system colors).
  TFormDateTime(QWidget* parent, std::uint32_t boxBack, std::uint32_t boxText,
                std::uint32_t back, std::uint32_t text);

  const std::string& DateTimeFormat() const { return dateTimeFormat_; }
  QRadioButton* Radio(int index) const { return radios_[index]; }  // 0..6, Custom last
  QLineEdit* CustomEdit() const { return Custom_Edit; }
  QLabel* ExampleLabel() const { return Example_Label; }

  void GenerateDateTime_Cmd();
  void UpdateDateTime_Cmd();

 private:
  DateLocale locale_;
  std::string dateTimeFormat_;
  std::array<QRadioButton*, 7> radios_{};
  QLineEdit* Custom_Edit = nullptr;
  QLabel* Example_Label = nullptr;
  QTimer* Timer1 = nullptr;
};

}  // namespace ql
