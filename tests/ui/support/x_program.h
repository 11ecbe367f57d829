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
  bool enabled = true;
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
  std::vector<std::string> messages; // texts of the message boxes shown
  std::string active;                // the window that has the keys

  const ProbedWindow* window(const std::string& name) const;
  bool message(const std::string& text) const;
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
  // The program StartProgram started last.
  pid_t program() const { return program_; }
  // A later launch of the program, by a person, with the same home and
  // runtime folder; it tells what it shows into the probe file "<name>.txt"
  // and writes its output into "<name>-output.txt". Nothing is waited for.
  pid_t StartLaunch(const std::vector<std::string>& files, const std::string& name);
  // Starts another program on the same display; its output goes to the
  // named file in the test's folder.
  pid_t StartOnDisplay(const std::string& program, const std::vector<std::string>& args, const std::string& output);
  // Ends a child started here and waits for it.
  void EndChild(pid_t child);
  // A child's exit: its wait status, or -1 when it still ran after the time.
  int WaitForExit(pid_t child, int seconds);
  // True while a child started here runs (it is left to be waited for).
  static bool Running(pid_t child);
  // A program built with the tests.
  static std::string TestProgram(const std::string& name);
  // The program's log and output, for a failure's message.
  std::string ProgramOutput() const;

  // What the program shows, or, given the name of a later launch, what that
  // one shows.
  ProbeView Probe(const std::string& name = "probe") const;
  // Until what the program shows satisfies the condition (true), or a minute.
  bool WaitFor(const std::function<bool(const ProbeView&)>& condition, int seconds = 60,
               const std::string& name = "probe") const;
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
  ChildEnvironment programEnvironment(const std::string& probe) const;

  std::unique_ptr<XInput> input_;
  std::vector<pid_t> children_;
  pid_t program_ = -1;
};
