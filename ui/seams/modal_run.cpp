#include "ui/seams/modal_run.h"

#include <QDialog>

#include "ui/shell/WindowController.h"

namespace {

ModalRunHook& hook() {
  static ModalRunHook installed;
  return installed;
}

} // namespace

void ModalRunInstall(ModalRunHook installed) { hook() = std::move(installed); }

int RunModalForWindow(WindowController* controller) {
  if (controller == nullptr) return 0;
  if (hook()) return hook()(controller);
  auto* dialog = qobject_cast<QDialog*>(controller->window());
  if (dialog == nullptr) return 0;
  return dialog->exec();
}
