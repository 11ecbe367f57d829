#include "ui/input/sync_common.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "base/message_box.h"
#include "base/text.h"
#include "base/util.h"
#include "model/input_timing.h"
#include "model/inputs.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace sync_ui {

namespace {
constexpr int kWarning = 48;
constexpr int kYesNo = 36;
constexpr int kYesNoCancel = 35;
} // namespace

QString TimeText(double seconds) { return FormatTimeNSString(2, 0, seconds); }

double ReadTime(const QLineEdit* field) { return TimeTextToSeconds(NSStringToWStr(field->text()).c_str()); }

double ReadRate(const QLineEdit* field) {
  const QString text = field->text();
  if (text.isEmpty()) return 1.0;
  return std::max(0.0, NSStringToDouble(text));
}

QString RateText(double rate) { return QString::asprintf("%.05f", rate); }

QString RecordName(const MainStruct& main) {
  qsizetype length = 0;
  while (length < kNameLength && main.Name[length] != 0) ++length;
  return QString::fromUtf16(main.Name, length);
}

uint32_t InputOfComboText(const QComboBox* combo) {
  const QString text = combo->currentText();
  if (text.isEmpty()) return kNoInput;
  return InputFind(text.toStdU16String().c_str());
}

void SelectComboName(QComboBox* combo, const QString& name) {
  const int row = name.isEmpty() ? -1 : combo->findText(name, Qt::MatchFixedString);
  combo->setCurrentIndex(row);
  if (row < 0 && combo->isEditable()) combo->setEditText(QString());
}

int AskToSaveChanges(const QString& name, bool cancellable) {
  const std::wstring text = WcsFormat(L"Do you want to save changes to '%s'?", NSStringToWStr(name).c_str());
  return AppMessageBox(text.c_str(), cancellable ? kYesNoCancel : kYesNo);
}

bool CheckPlayRate(double rate) {
  if (PlayRateUsable(rate)) return true;
  AppMessageBox(L"Please enter a play rate of at least 0.001.", kWarning);
  return false;
}

wcMain* MainWindow() { return AppWindows().wndMain(); }

QHBoxLayout* StepRow(QWidget* parent, const std::vector<StepButton>& buttons, QWidget* middle,
                     const std::function<void(double)>& step) {
  auto* row = new QHBoxLayout();
  row->setSpacing(2);
  for (const StepButton& b : buttons) {
    if (middle != nullptr && b.seconds > 0 && row->indexOf(middle) < 0) row->addWidget(middle, 1);
    auto* button = new QPushButton(b.title, parent);
    button->setObjectName(b.name);
    button->setFixedWidth(44);
    button->setAutoDefault(false);
    button->setToolTip(QString::asprintf("%+.2f s", b.seconds));
    const double seconds = b.seconds;
    QObject::connect(button, &QPushButton::clicked, parent, [step, seconds]() { step(seconds); });
    row->addWidget(button);
  }
  return row;
}

std::optional<MainStruct> StoreTiming(uint32_t input, double trimStart, double start, double rate) {
  const MainStruct* record = InputGetMain(input);
  if (record == nullptr) return std::nullopt;
  MainStruct main = *record;
  main.TrimStart = static_cast<float>(trimStart);
  main.StartTime = static_cast<float>(start);
  main.PlayRate = static_cast<float>(rate);
  if (InputSetMain(input, &main) != 0) return std::nullopt;
  return main;
}

} // namespace sync_ui
