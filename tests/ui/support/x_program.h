#pragma once
// The real program on an X server of the test's own (Xvfb), met as a person
// meets it: its windows placed by a real server, the pointer and the keys
// moved through XTest. The program carries the widget probe (tests/x11),
// which only looks: through it the test finds what to press and sees what
// the press brought. Skipped, saying why, where Xvfb is not installed.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <QRect>
#include <QSize>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/program_child.h"
#include "support/test_temp_dir.h"
#include "support/x_server.h"
#include "ui/support/x_input.h"

struct ProbedWindow {
  std::string name;
  QRect rect; // the window's content, in screen pixels
  std::string title;
};

struct ProbedWidget {
  std::string window, name;
  QRect rect;
  int rows = -1; // a list's rows
  bool hbar = false, vbar = false; // a scroll area's bars in sight
};

struct ProbedRow {
  std::string window, list;
  int row = -1;
  QRect rect;
  std::string text;
};

struct ProbeView {
  long long serial = -1; // the probe's write, counted from 1; -1 before the first
  std::vector<ProbedWindow> windows;
  std::vector<ProbedWidget> widgets;
  std::vector<ProbedRow> rows;

  const ProbedWindow* window(const std::string& name) const;
  const ProbedWidget* widget(const std::string& window, const std::string& name) const;
  // The first row of the list whose text contains the part.
  const ProbedRow* row(const std::string& window, const std::string& list, const std::string& part) const;
};

class XProgramTest : public ::testing::Test {
protected:
  explicit XProgramTest(QSize screen = QSize(1366, 768)) : screenSize_(screen) {}
  void SetUp() override;
  void TearDown() override;

  // Starts the program with the files, its settings file holding the lines
  // (INI lines of the [General] group); true once its main window is up.
  bool StartProgram(const std::vector<std::string>& files, const std::vector<std::string>& settings = {});
  // Starts another program on the same display; its output goes to the
  // named file in the test's folder.
  pid_t StartOnDisplay(const std::string& program, const std::vector<std::string>& args, const std::string& output);
  // Ends a child started here and waits for it.
  void EndChild(pid_t child);
  // A program built with the tests.
  static std::string TestProgram(const std::string& name);
  // The program's log and output, for a failure's message.
  std::string ProgramOutput() const;

  ProbeView Probe() const;
  // Until what the program shows satisfies the condition (true), or a minute.
  bool WaitFor(const std::function<bool(const ProbeView&)>& condition, int seconds = 60) const;
  // The pointer presses the middle of a widget now shown; false without it.
  bool Press(const std::string& window, const std::string& name);
  // The screen as it is now, into QV_SCREENSHOTS (when set) under the name.
  void Shot(const std::string& name) const;

  const std::string& folder() const { return temp_.path(); }
  std::string home() const { return temp_.path() + "/home"; }
  XInput& input() { return *input_; }

private:
  QSize screenSize_;
  TestTempDir temp_{"x11"};
  std::unique_ptr<XServer> server_;
  std::unique_ptr<XInput> input_;
  std::vector<pid_t> children_;
};
