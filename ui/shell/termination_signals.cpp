#include "ui/shell/termination_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace {

constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};

// The write end is all the handler touches: write() is async-signal-safe.
int pipeEnds[2] = {-1, -1};

void onSignal(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // A full pipe already holds a wake-up; the byte may go.
  [[maybe_unused]] ssize_t written = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

void restoreDefault(int signalNumber) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  if (pipeEnds[0] >= 0) return;
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
    pipeEnds[0] = pipeEnds[1] = -1;
    return;
  }
  fcntl(pipeEnds[1], F_SETFL, fcntl(pipeEnds[1], F_GETFL) | O_NONBLOCK);
  notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
  for (int i = 0; i < 3; ++i) {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted calls (waits, reads) go on; the notifier does the rest.
    action.sa_flags = SA_RESTART;
    sigaction(kSignals[i], &action, &previous_[i]);
    // Started under nohup (or in the background of a shell): stays ignored.
    if (previous_[i].sa_handler == SIG_IGN) sigaction(kSignals[i], &previous_[i], nullptr);
  }
}

TerminationSignals::~TerminationSignals() {
  if (notifier_ == nullptr) return;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  delete notifier_;
  notifier_ = nullptr;
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::readPipe() {
  unsigned char byte = 0;
  if (read(pipeEnds[0], &byte, 1) != 1) return;
  const int signalNumber = byte;
  restoreDefault(signalNumber);
  emit received(signalNumber);
}
