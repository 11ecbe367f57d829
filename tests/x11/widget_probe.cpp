// A Qt plugin the X tests load into the real program (QT_QPA_GENERIC_PLUGINS
// =qvprobe): it only looks. Every 100 ms it writes what a person would see
// into the file QV_PROBE_FILE names, so that a test can find a control to
// press with the X server's pointer and check what the press brought:
//
//   probe <n>                                     the write's number, from 1
//   window <name> <x> <y> <w> <h> <title>        each shown window
//   widget <window> <name> <x> <y> <w> <h> [rows=<n>] [hbar] [vbar] [disabled]
//                                                 each shown, named widget
//   row <window> <list> <row> <x> <y> <w> <h> <text>
//                                                 each row of a shown list
//   message <window> <text>                       a shown message box's text
//   active <window>                               the window with the keys
//
// Rectangles are in screen pixels; fields are separated by tabs. Names are
// the widgets' object names; a list's rows by their first column.
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

QString rect(const QRect& r) { return QString("%1\t%2\t%3\t%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); }

QRect onScreen(const QWidget* widget) { return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()); }

void describeRows(QTextStream& out, const QString& window, const QAbstractItemView* list) {
  const QAbstractItemModel* model = list->model();
  if (model == nullptr) return;
  for (int row = 0; row < model->rowCount(); ++row) {
    const QModelIndex index = model->index(row, 0);
    const QRect inside = list->visualRect(index);
    if (inside.isEmpty()) continue;
    const QRect r(list->viewport()->mapToGlobal(inside.topLeft()), inside.size());
    QString text = model->data(index).toString();
    for (int column = 1; text.isEmpty() && column < model->columnCount(); ++column)
      text = model->data(model->index(row, column)).toString();
    out << "row\t" << window << '\t' << list->objectName() << '\t' << row << '\t' << rect(r) << '\t' << text << '\n';
  }
}

void describe(QTextStream& out, QWidget* top) {
  const QString window = top->objectName();
  out << "window\t" << window << '\t' << rect(top->geometry()) << '\t' << top->windowTitle() << '\n';
  if (auto* box = qobject_cast<QMessageBox*>(top))
    out << "message\t" << window << '\t' << box->text().simplified() << '\n';
  for (QWidget* widget : top->findChildren<QWidget*>()) {
    if (widget->objectName().isEmpty() || !widget->isVisibleTo(top) || widget->objectName().startsWith("qt_"))
      continue;
    out << "widget\t" << window << '\t' << widget->objectName() << '\t' << rect(onScreen(widget));
    if (auto* list = qobject_cast<QAbstractItemView*>(widget); list != nullptr && list->model() != nullptr)
      out << "\trows=" << list->model()->rowCount();
    if (auto* scroller = qobject_cast<QAbstractScrollArea*>(widget)) {
      if (scroller->horizontalScrollBar()->isVisible()) out << "\thbar";
      if (scroller->verticalScrollBar()->isVisible()) out << "\tvbar";
    }
    if (!widget->isEnabled()) out << "\tdisabled";
    out << '\n';
    if (auto* list = qobject_cast<QAbstractItemView*>(widget)) describeRows(out, window, list);
  }
}

class WidgetProbe : public QObject {
public:
  explicit WidgetProbe(const QString& path) : path_(path) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &WidgetProbe::write);
    timer->start(100);
  }

private:
  void write() {
    QString text;
    QTextStream out(&text);
    out << "probe\t" << ++writes_ << '\n';
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->isVisible()) describe(out, top);
    }
    if (QWidget* active = QApplication::activeWindow()) out << "active\t" << active->objectName() << '\n';
    out.flush();
    // Whole or not at all: the test may read at any moment.
    QFile file(path_ + ".part");
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(text.toUtf8());
    file.close();
    std::rename(QFile::encodeName(path_ + ".part").constData(), QFile::encodeName(path_).constData());
  }

  QString path_;
  qint64 writes_ = 0;
};

} // namespace

class WidgetProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "widget_probe.json")
public:
  QObject* create(const QString& key, const QString&) override {
    const QString path = qEnvironmentVariable("QV_PROBE_FILE");
    if (key.compare("qvprobe", Qt::CaseInsensitive) != 0 || path.isEmpty()) return nullptr;
    return new WidgetProbe(path);
  }
};

#include "widget_probe.moc"
