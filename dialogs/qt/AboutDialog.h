// The about box: product, maker, links, the read-me picture, the program
// icon whose double-click shows the usage statistics, and the hidden
// menu's gesture (Ctrl+Shift+Alt+left click on the read-me picture, or
// Ctrl+Shift+H in the box where the window manager keeps Alt+click).
#pragma once

#include <QDialog>
#include <QLabel>
#include <functional>
#include <string>

#include "dialogs/About.h"

namespace ql {

extern const char* const kMakerEmail;
extern const char* const kMakerWeb;

// A label that underlines itself under the mouse and opens its address.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, int tag, QWidget* parent);
  int Tag() const { return tag_; }
  void SetHover(bool on);  // underlined dark blue, or plain blue

 signals:
  void clicked(int tag);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int tag_;
};

class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  TFormAbout(QWidget* owner, AboutHost& host, const QIcon& programIcon);

  // Opens an address or a document (tests record instead).
  using Opener = std::function<void(const std::string& target)>;
  void SetOpener(Opener opener) { open_ = std::move(opener); }
  void SetReadmePath(const std::string& path) { readme_ = path; }

  void Link_Click(int tag);
  void Quillora2_ImageClick();
  void Show_OpenCount();

  QLabel* Quillora1_Image = nullptr;
  QLabel* About_Label = nullptr;
  QLabel* Norvane_Label = nullptr;
  LinkLabel* Email_Label = nullptr;
  LinkLabel* Hp_Label = nullptr;
  QLabel* Quillora2_Image = nullptr;
  QLabel* Quillora3_Image = nullptr;
  QLabel* Comp_Label = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  AboutHost& host_;
  Opener open_;
  std::string readme_;
  bool pressedOnReadme_ = false;
};

}  // namespace ql
