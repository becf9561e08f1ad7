// The editor control: a plain-text widget that keeps the document in the
// CR LF, Windows-1252 model whatever way text comes in (typing, Shift+Enter,
// keypad Enter, paste, middle-click, drag and drop).
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <functional>

namespace ql {

class EditorWidget : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit EditorWidget(QWidget* parent = nullptr);

  // Called for Enter; returns true when it inserted the line break itself.
  std::function<bool()> enterHandler;

  // Text with every character the document cannot hold replaced by '?'
  // and every line break made a paragraph break.
  static QString Normalize(const QString& text);

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
};

// Local files named by a drop or a clipboard file list.
QStringList LocalFiles(const QMimeData* data);

}  // namespace ql
