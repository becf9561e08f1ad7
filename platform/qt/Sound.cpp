#include "platform/qt/Sound.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>

#include "platform/SoundNames.h"

namespace ql {

namespace {
void Beep() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
}
}  // namespace

void PlayCompletionSound(int index) {
  const CompletionSound sound = CompletionSoundFor(index);
  switch (sound.kind) {
    case CompletionSound::None:
      return;
    case CompletionSound::Beep:
      Beep();
      return;
    case CompletionSound::Event: {
      const QString player = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
      if (player.isEmpty() ||
          !QProcess::startDetached(player, {QStringLiteral("-i"), QString::fromStdString(sound.eventId)}))
        Beep();
      return;
    }
  }
}

}  // namespace ql
