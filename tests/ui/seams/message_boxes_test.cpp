#include "ui/seams/message_boxes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "base/message_box.h"

namespace {

// Plays the user at the next modal dialog that opens: waits for it, looks
// at it, answers.
class User : public QObject {
public:
  explicit User(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
    connect(&poll_, &QTimer::timeout, this, [this]() {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr || !dialog->isVisible()) return;
      poll_.stop();
      answer_(dialog);
    });
    poll_.start(10);
  }

private:
  std::function<void(QWidget*)> answer_;
  QTimer poll_;
};

void press(QWidget* dialog, QMessageBox::StandardButton which) {
  auto* box = qobject_cast<QMessageBox*>(dialog);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(box->button(which), nullptr);
  box->button(which)->click();
}

} // namespace

TEST(MessageDialogTest, YesNoCancelAnswersByButton) {
  struct Case {
    QMessageBox::StandardButton button;
    int answer;
  };
  for (Case c : {Case{QMessageBox::Yes, kMbYes}, Case{QMessageBox::No, kMbNo}, Case{QMessageBox::Cancel, kMbCancel}}) {
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    User user([&](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      buttons = static_cast<int>(box->buttons().size());
      icon = box->icon();
      text = box->text();
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
      press(dialog, c.button);
    });
    EXPECT_EQ(MessageDialogRun(L"Do you want to save the project before exiting?", 35), c.answer);
    EXPECT_EQ(buttons, 3);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(text, "Do you want to save the project before exiting?");
  }
}

TEST(MessageDialogTest, FlagsChooseIconAndButtons) {
  struct Case {
    int flags;
    QMessageBox::Icon icon;
    int buttons;
  };
  for (Case c : {Case{16, QMessageBox::Critical, 1}, Case{48, QMessageBox::Warning, 1}, Case{64, QMessageBox::Information, 1},
                 Case{0, QMessageBox::Information, 1}, Case{2, QMessageBox::Information, 1},
                 Case{5, QMessageBox::Information, 1}, Case{36, QMessageBox::Information, 2},
                 Case{1, QMessageBox::Information, 2}}) {
    User user([&](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      EXPECT_EQ(box->icon(), c.icon) << c.flags;
      EXPECT_EQ(box->buttons().size(), c.buttons) << c.flags;
      box->defaultButton()->click();
    });
    int answer = MessageDialogRun(L"Note", c.flags);
    int expected = (c.flags & 0x0F) == 4 ? kMbYes : kMbOk;
    EXPECT_EQ(answer, expected) << c.flags;
  }
}

TEST(InputDialogTest, OkGivesTheTextAndCancelGivesNothing) {
  User typing([](QWidget* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->textValue(), "12.5");
    input->setTextValue("00:01:02.50");
    input->accept();
  });
  std::wstring answer;
  EXPECT_TRUE(InputDialogRun(L"Enter the time", L"12.5", answer));
  EXPECT_EQ(answer, L"00:01:02.50");

  User cancelling([](QWidget* dialog) { qobject_cast<QInputDialog*>(dialog)->reject(); });
  std::wstring none = L"untouched";
  EXPECT_FALSE(InputDialogRun(L"Enter the time", L"", none));
  EXPECT_EQ(none, L"untouched");

  User empty([](QWidget* dialog) { qobject_cast<QInputDialog*>(dialog)->accept(); });
  std::wstring blank = L"x";
  EXPECT_TRUE(InputDialogRun(L"Name", L"", blank));
  EXPECT_EQ(blank, L"");
}

TEST(MessageDialogTest, AWorkerThreadWaitsForTheAnswerGivenOnTheGuiThread) {
  MessageBoxesInstall();
  User user([](QWidget* dialog) { press(dialog, QMessageBox::No); });
  std::atomic<int> answer{0};
  std::atomic<bool> done{false};
  std::thread worker([&]() {
    answer = AppMessageBox(L"Continue?", 36);
    done = true;
  });
  QDeadlineTimer deadline(20000);
  while (!done && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(answer.load(), kMbNo);
  AppMessageBoxInstall(nullptr);
  AppInputBoxInstall(nullptr);
}
