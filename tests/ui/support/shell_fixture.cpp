#include "ui/support/shell_fixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSettings>
#include <cstdlib>
#include <filesystem>

#include "base/message_box.h"
#include "io/net/http_client.h"
#include "support/temp_folder.h"
#include "ui/seams/clock.h"
#include "ui/seams/desktop.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/session_power.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcMain.h"

namespace {

int firstButton(int flags) {
  int buttons = flags & 0x0F;
  return (buttons == 3 || buttons == 4) ? kMbYes : kMbOk;
}

} // namespace

void ShellTest::SetUp() {
  tempDir = MakeTempFolder("qv-shell-test");
  ASSERT_FALSE(tempDir.empty());
  for (const char* name : {"TMPDIR", "XDG_DOCUMENTS_DIR"}) {
    const char* value = std::getenv(name);
    savedEnvironment.push_back({name, value != nullptr ? std::optional<std::string>(value) : std::nullopt});
  }
  setenv("TMPDIR", tempDir.c_str(), 1);
  setenv("XDG_DOCUMENTS_DIR", (tempDir + "/Documents").c_str(), 1);
  UserDefaultsUseFile(QString::fromStdString(tempDir + "/settings.ini"));
  // The start-up template menu is a modal run of its own: only the tests
  // about it ask for it, so that it never answers another test's prompts.
  UserDefaultsWrite("ShowMenuAtStart", false);
  now = QDateTime(QDate(2026, 12, 7), QTime(12, 0));
  NetSetServerBase(L"");
  AppMessageBoxInstall([this](const std::wstring& text, int flags) {
    messages.push_back({text, flags});
    if (answers.empty()) return firstButton(flags);
    int answer = answers.front();
    answers.pop_front();
    return answer;
  });
  AppInputBoxInstall([this](const std::wstring& prompt, const std::wstring&, std::wstring& answer) {
    inputPrompts.push_back(prompt);
    if (inputAnswers.empty() || !inputAnswers.front().has_value()) {
      if (!inputAnswers.empty()) inputAnswers.pop_front();
      return false;
    }
    answer = *inputAnswers.front();
    inputAnswers.pop_front();
    return true;
  });
  ModalRunInstall([this](WindowController* controller) {
    modalRuns.push_back(controller->nibName());
    return onModal ? onModal(controller) : 0;
  });
  FileDialogInstall([this](const FileDialogRequest&) {
    if (panelAnswers.empty()) return QStringList();
    QStringList answer = panelAnswers.front();
    panelAnswers.pop_front();
    return answer;
  });
  OpenUrlInstall([this](const QUrl& url) {
    openedUrls.push_back(url);
    return true;
  });
  ClockInstall([this]() { return now; });
  ScreenInstall([this](QWidget*) { return screen; });
  LocaleInstall([this]() { return locale; });
  previousShutdown_ = SystemShutdownInstall([this](QString* why) {
    ++shutdowns;
    if (!shutdownRefusal.isEmpty()) *why = shutdownRefusal;
    return shutdownRefusal.isEmpty();
  });
}

void ShellTest::TearDown() {
  if (app != nullptr) {
    app->applicationWillTerminate();
    delete app;
    app = nullptr;
  }
  AppMessageBoxInstall(nullptr);
  AppInputBoxInstall(nullptr);
  ModalRunInstall(nullptr);
  FileDialogInstall(nullptr);
  OpenUrlInstall(nullptr);
  ClockInstall(nullptr);
  ScreenInstall(nullptr);
  LocaleInstall(nullptr);
  SystemShutdownInstall(previousShutdown_);
  UserDefaultsReset();
  NetSetServerBase(nullptr);
  for (const auto& [name, value] : savedEnvironment) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }
  savedEnvironment.clear();
  std::error_code ignored;
  std::filesystem::remove_all(tempDir, ignored);
}

bool ShellTest::Launch(const QStringList& files) {
  app = new AppDelegate();
  QObject::connect(app, &AppDelegate::splashStatusShown, [this](const QString& text) { statuses << text; });
  QObject::connect(app, &AppDelegate::terminating, [this]() { ++terminations; });
  for (const QString& file : files) app->applicationOpenFile(file);
  app->applicationDidFinishLaunching();
  bool settled = SpinUntil([this]() {
    return app->LaunchFailed() || (app->windows().wndMain() != nullptr && app->windows().wndMain()->StartupDone());
  }, 60000);
  return settled && !app->LaunchFailed();
}

void ShellTest::Spin(int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  // At least once: a thread that comes back after the time has run out
  // still serves what was queued.
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  } while (!deadline.hasExpired());
}

void ShellTest::Settle() {
  // Each round runs what the round before queued.
  for (int round = 0; round < 4; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

bool ShellTest::SpinUntil(const std::function<bool()>& condition, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

void ShellTest::SetSetting(const QString& key, const QVariant& value) { UserDefaultsWrite(key, value); }

QVariant ShellTest::Setting(const QString& key) const {
  QSettings* settings = UserDefaults();
  return settings != nullptr ? settings->value(key) : QVariant();
}

QString ShellTest::ClearStyleFolder() const {
  const QString folder = QString::fromStdString(DocumentsFolder()) + "/Styles";
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  return folder;
}

int ShellTest::CountMessages(const std::wstring& part) const {
  int count = 0;
  for (const ShownMessage& message : messages) {
    if (message.text.find(part) != std::wstring::npos) ++count;
  }
  return count;
}
