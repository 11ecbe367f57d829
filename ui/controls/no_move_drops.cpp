#include "ui/controls/no_move_drops.h"

#include <QCoreApplication>
#include <QDropEvent>

#include "ui/controls/NSImageViewCustom.h"

namespace {

// A drag reaches a window of the program first, which passes it on to the
// widget under the pointer and hands that widget's answer to the source.
// The window's own handling runs here so that the answer can be mended
// after it, whichever widget gave it.
class NoMoveDrops : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    if (!watched->isWindowType() || handling_) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    if (drop->source() != nullptr) return false;
    handling_ = true;
    watched->event(event);
    handling_ = false;
    if (drop->dropAction() == Qt::MoveAction) drop->setDropAction(FileDropAnswer(drop->possibleActions()));
    return true;
  }

private:
  bool handling_ = false;
};

} // namespace

void NoMoveDropsInstall() {
  static bool installed = false;
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr || installed) return;
  installed = true;
  application->installEventFilter(new NoMoveDrops(application));
}
