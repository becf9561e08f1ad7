// The editor control: a plain-text widget that keeps the document in the
// CR LF, Windows-1252 model whatever way text comes in (typing, Shift+Enter,
// keypad Enter, paste, middle-click, drag and drop).
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <functional>

#include "common/Codepage.h"

namespace ql {

class EditorWidget : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit EditorWidget(QWidget* parent = nullptr);

  // Called for Enter; returns true when it inserted the line break itself.
  std::function<bool()> enterHandler;

  // The character set the bytes are shown in: Windows-1252, or code page
  // 437 while the "Terminal" font shows NFO art, as that font always has.
  Codepage codepage() const { return codepage_; }
  void setCodepage(Codepage cp) { codepage_ = cp; }

  // Text with every character the document cannot hold replaced by '?'
  // and every line break made a paragraph break.
  QString Normalize(const QString& text) const;

  // 8-bit text with CR LF breaks as the widget holds it ('\n' breaks).
  static QString ToWidgetText(Codepage cp, const std::string& text);
  // Takes over a document built elsewhere (already moved to this thread),
  // shown in the given character set; the old document is deleted.
  void AdoptDocument(QTextDocument* document, Codepage cp);

 signals:
  void filesDropped(const QStringList& files);
  void contextMenuAtCaret();
  void deleteKey();

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  Codepage codepage_ = Codepage::Cp1252;
};

// Local files named by a drop or a clipboard file list.
QStringList LocalFiles(const QMimeData* data);

}  // namespace ql
