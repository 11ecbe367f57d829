#pragma once
// Stands in for logind's manager on a private bus: records each Inhibit
// call and hands back the write end of a pipe, whose read end tells whether
// the caller still holds it. The service answers from a thread of its own,
// so that a caller blocked on the GUI thread is served.
#include <QObject>
#include <QString>
#include <QThread>
#include <mutex>
#include <string>
#include <vector>

#include "ui/support/private_bus.h"

struct InhibitCall {
  QString what, who, why, mode;
  int readEnd = -1; // closed with the service
};

class FakeLoginService {
public:
  FakeLoginService();
  ~FakeLoginService();
  FakeLoginService(const FakeLoginService&) = delete;
  FakeLoginService& operator=(const FakeLoginService&) = delete;

  // False when the bus or the service did not come up.
  bool ready() const { return ready_; }
  const std::string& address() const { return bus_.address(); }
  std::vector<InhibitCall> calls() const;
  // Whether the inhibitor handed out by the call is still held by someone.
  bool held(size_t call) const;

private:
  friend class LoginManagerObject;
  void record(InhibitCall call);

  std::string dir_;
  PrivateBus bus_;
  QThread thread_;
  QObject* manager_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<InhibitCall> calls_;
  bool ready_ = false;
};
