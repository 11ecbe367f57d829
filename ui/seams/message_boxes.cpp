#include "ui/seams/message_boxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "base/message_box.h"
#include "ui/util/ui_utils.h"

namespace {

QMessageBox::Icon iconForFlags(int flags) {
  switch (flags & 0xF0) {
  case 16: return QMessageBox::Critical;
  case 48: return QMessageBox::Warning;
  default: return QMessageBox::Information;
  }
}

// The buttons in the order shown, the first one the default.
QList<QMessageBox::StandardButton> buttonsForFlags(int flags) {
  switch (flags & 0x0F) {
  case 1: return {QMessageBox::Ok, QMessageBox::Cancel};
  case 3: return {QMessageBox::Yes, QMessageBox::Cancel, QMessageBox::No};
  case 4: return {QMessageBox::Yes, QMessageBox::No};
  default: return {QMessageBox::Ok};
  }
}

int answerOf(QMessageBox::StandardButton button) {
  switch (button) {
  case QMessageBox::Cancel: return kMbCancel;
  case QMessageBox::Yes: return kMbYes;
  case QMessageBox::No: return kMbNo;
  default: return kMbOk;
  }
}

} // namespace

int MessageDialogRun(const std::wstring& text, int flags) {
  QMessageBox box(QApplication::activeWindow());
  box.setIcon(iconForFlags(flags));
  box.setText(WStrToNSString(text.c_str()));
  auto buttons = buttonsForFlags(flags);
  for (QMessageBox::StandardButton button : buttons) box.addButton(button);
  box.setDefaultButton(buttons.front());
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  return clicked != nullptr ? answerOf(box.standardButton(clicked)) : kMbOk;
}

bool InputDialogRun(const std::wstring& prompt, const std::wstring& defaultText, std::wstring& answer) {
  QInputDialog dialog(QApplication::activeWindow());
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(WStrToNSString(prompt.c_str()));
  dialog.setTextValue(WStrToNSString(defaultText.c_str()));
  dialog.setOkButtonText("OK");
  dialog.setCancelButtonText("Cancel");
  dialog.resize(400, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted) return false;
  answer = NSStringToWStr(dialog.textValue());
  return true;
}

void MessageBoxesInstall() {
  AppMessageBoxInstall(MessageDialogRun);
  AppInputBoxInstall(InputDialogRun);
}
