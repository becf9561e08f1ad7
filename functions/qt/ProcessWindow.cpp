#include "functions/qt/ProcessWindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/qt/Look.h"

namespace ql {
namespace {

std::uint32_t g_back = 0x80000005;  // window
std::uint32_t g_bar = 0x80000008;   // window text

class TFormProcess : public QFrame {
 public:
  explicit TFormProcess(const QString& caption)
      : QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto* layout = new QVBoxLayout(this);
    Hint_Label = new QLabel(caption, this);
    Hint_Label->setStyleSheet("color: maroon;");
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setTextVisible(true);
    Gauge1->setFormat("%p%");
    const QPalette system = QApplication::palette();
    QPalette p = Gauge1->palette();
    p.setColor(QPalette::Base, ToQColor(g_back, system));
    p.setColor(QPalette::Window, ToQColor(g_back, system));
    p.setColor(QPalette::Highlight, ToQColor(g_bar, system));
    Gauge1->setPalette(p);
    layout->addWidget(Hint_Label);
    layout->addWidget(Gauge1);
    resize(320, sizeHint().height());
    if (QScreen* s = QGuiApplication::primaryScreen())
      move(s->availableGeometry().center() - rect().center());
  }

  QLabel* Hint_Label;
  QProgressBar* Gauge1;
};

QPointer<TFormProcess> g_window;

}  // namespace

void SetProcessColors(std::uint32_t back, std::uint32_t bar) {
  g_back = back;
  g_bar = bar;
}

void ShowProcess(const QString& caption) {
  CloseProcess();
  g_window = new TFormProcess(caption);
  g_window->show();
  g_window->repaint();
}

void UpdateProcess(int percent) {
  if (!g_window || g_window->Gauge1->value() == percent) return;
  g_window->Gauge1->setValue(percent);
  // The work runs on this thread: paint now rather than at the next event.
  g_window->Gauge1->repaint();
}

void CloseProcess() {
  delete g_window.data();
  g_window = nullptr;
}

bool ProcessShown() { return g_window != nullptr; }
int ProcessValue() { return g_window ? g_window->Gauge1->value() : -1; }
QString ProcessCaption() { return g_window ? g_window->Hint_Label->text() : QString(); }

}  // namespace ql
