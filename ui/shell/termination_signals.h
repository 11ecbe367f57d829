#pragma once
// The signals by which the system or the user ends a program (SIGTERM when
// the desktop session logs out, SIGINT from a terminal, SIGHUP when the
// terminal goes away), turned into a Qt signal on the GUI thread, so that
// the program ends as Quit ends it instead of dying where it stands.
#include <QObject>
#include <csignal>

class QSocketNotifier;

class TerminationSignals : public QObject {
  Q_OBJECT
public:
  // Installs the handlers; the previous ones come back on destruction. One
  // instance at a time.
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;
  bool installed() const { return notifier_ != nullptr; }

signals:
  // On the GUI thread. After the first, a repeated signal of the same kind
  // ends the process at once, as it would have without us (a shut-down
  // that hangs must not make the program unkillable).
  void received(int signalNumber);

private:
  void readPipe();

  QSocketNotifier* notifier_ = nullptr;
  struct sigaction previous_[3] = {};
};
