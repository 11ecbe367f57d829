#pragma once
// The shell under test: its own settings file, the user's answers scripted
// (message and input boxes, modal windows, panels), a fixed day and screen,
// no vendor server unless a test starts one, and the real launch.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QRect>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class AppDelegate;
class WindowController;

struct ShownMessage {
  std::wstring text;
  int flags;
};

class ShellTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the launch and waits for the main window's start-up (true) or for
  // the launch to fail (false).
  bool Launch(const QStringList& files = {});
  // Serves the event loop for a while, or until the condition holds.
  static void Spin(int milliseconds);
  static bool SpinUntil(const std::function<bool()>& condition, int timeoutMs = 30000);
  // Runs the work queued on the GUI thread (and what it queues in turn):
  // the displays a command updates after it returns, a window's becoming
  // main after its show, the layouts of a show.
  static void Settle();

  void SetSetting(const QString& key, const QVariant& value);
  QVariant Setting(const QString& key) const;
  // Messages whose text contains the part.
  int CountMessages(const std::wstring& part) const;

  std::string tempDir; // TMPDIR and the documents folder's parent
  std::string DocumentsFolder() const { return tempDir + "/Documents/Quelvatron"; }
  // Takes the installed starter styles out of the style folder, for tests
  // that count what they put there; the folder's path.
  QString ClearStyleFolder() const;
  AppDelegate* app = nullptr;
  QStringList statuses;
  std::vector<ShownMessage> messages;
  std::deque<int> answers;                       // next message-box answers (default: first button)
  std::vector<std::wstring> inputPrompts;
  std::deque<std::optional<std::wstring>> inputAnswers; // nullopt = Cancel
  std::vector<QString> modalRuns;                // nib names, in order
  std::function<int(WindowController*)> onModal; // plays the user's part
  std::vector<QUrl> openedUrls;
  std::deque<QStringList> panelAnswers;          // file panels; empty = Cancel
  QDateTime now;
  QRect screen{0, 0, 1280, 1024};
  QString locale = "en_GB";
  int terminations = 0;
  int shutdowns = 0; // shut-down requests, never carried out
  QString shutdownRefusal; // the system's reason when it refuses them

private:
  std::function<bool(QString*)> previousShutdown_;
  std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment;
};
