// A program that drags one file to another, as a file manager does, for the
// X tests: x11_drag_source <file> <offered> <report>, offered being "move"
// or "copy-move". Its window sits in the screen's bottom right corner; a
// press in it and a move past the drag distance start the drag with the
// file's address and those actions. The report file gets a line
// "ready <x> <y> <w> <h>" (where the window is on the screen) once it is
// up, "told <action>" each time the window under the pointer answers, and
// "exec <action>" with the drag's outcome; told "move", it deletes the file
// as such a file manager would. It stays, serving the drop's data to
// whoever asks for it, until it is ended.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <utility>

namespace {

const char* actionName(Qt::DropAction action) {
  switch (action) {
  case Qt::CopyAction: return "copy";
  case Qt::MoveAction: return "move";
  case Qt::LinkAction: return "link";
  case Qt::IgnoreAction: return "none";
  default: return "other";
  }
}

class DragSource : public QWidget {
public:
  DragSource(QString file, Qt::DropActions offered, QString report)
      : file_(std::move(file)), offered_(offered), report_(std::move(report)) {
    setWindowTitle("Drag Source");
    // In the screen's bottom right corner, beside the windows it drags to.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    setGeometry(QRect(screen.bottomRight() - QPoint(129, 99), QSize(130, 100)));
  }

  void say(const QString& line) {
    QFile out(report_);
    if (out.open(QIODevice::Append)) out.write((line + "\n").toUtf8());
  }

protected:
  // Painted once the server shows the window: from then on it takes presses.
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(250, 220, 120));
    painter.drawText(rect(), Qt::AlignCenter, QFileInfo(file_).fileName());
    const QRect at(mapToGlobal(QPoint(0, 0)), size());
    if (!shown_) say(QString("ready %1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height()));
    shown_ = true;
  }

  void mousePressEvent(QMouseEvent* event) override { pressedAt_ = event->position().toPoint(); }

  void mouseMoveEvent(QMouseEvent* event) override {
    if (started_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance()) return;
    started_ = true;
    auto* drag = new QDrag(this);
    auto* data = new QMimeData();
    data->setUrls({QUrl::fromLocalFile(file_)});
    drag->setMimeData(data);
    connect(drag, &QDrag::actionChanged, this,
            [this](Qt::DropAction action) { say(QString("told ") + actionName(action)); });
    const Qt::DropAction result = drag->exec(offered_);
    say(QString("exec ") + actionName(result));
    if (result == Qt::MoveAction) QFile::remove(file_);
  }

private:
  QString file_;
  Qt::DropActions offered_;
  QString report_;
  QPoint pressedAt_;
  bool started_ = false;
  bool shown_ = false;
};

} // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: x11_drag_source <file> move|copy-move <report>\n");
    return 2;
  }
  const QString offer = QString::fromLocal8Bit(argv[2]);
  const Qt::DropActions offered = offer == "move" ? Qt::DropActions(Qt::MoveAction) : Qt::CopyAction | Qt::MoveAction;
  DragSource source(QString::fromLocal8Bit(argv[1]), offered, QString::fromLocal8Bit(argv[3]));
  source.show();
  return application.exec();
}
