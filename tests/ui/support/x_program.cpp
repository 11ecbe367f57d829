#include "ui/support/x_program.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/read_file.h"

namespace {

// The test programs' folder, which also holds the X helpers.
std::string testProgramsFolder() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path().string();
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) out.push_back(field);
  return out;
}

QRect rectAt(const std::vector<std::string>& f, size_t at) {
  return QRect(std::stoi(f[at]), std::stoi(f[at + 1]), std::stoi(f[at + 2]), std::stoi(f[at + 3]));
}

} // namespace

const ProbedWindow* ProbeView::window(const std::string& name) const {
  for (const ProbedWindow& w : windows) {
    if (w.name == name) return &w;
  }
  return nullptr;
}

bool ProbeView::message(const std::string& text) const {
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

const ProbedWidget* ProbeView::widget(const std::string& window, const std::string& name) const {
  for (const ProbedWidget& w : widgets) {
    if (w.window == window && w.name == name) return &w;
  }
  return nullptr;
}

const ProbedRow* ProbeView::row(const std::string& window, const std::string& list, const std::string& part) const {
  for (const ProbedRow& r : rows) {
    if (r.window == window && r.list == list && r.text.find(part) != std::string::npos) return &r;
  }
  return nullptr;
}

void XProgramTest::SetUp() {
  if (!XServer::Installed()) GTEST_SKIP() << "Xvfb is not installed: scripts/install-deps.sh installs it";
  if (ProgramPath().empty()) GTEST_SKIP() << "built without the application";
  server_ = std::make_unique<XServer>(screenSize_.width(), screenSize_.height());
  ASSERT_TRUE(server_->running()) << server_->failure();
  input_ = std::make_unique<XInput>(server_->display());
  ASSERT_TRUE(input_->connected()) << "no XTest on " << server_->display();
}

void XProgramTest::TearDown() {
  // The program ends as on the desktop's logout, asking nothing.
  for (pid_t child : children_) kill(child, SIGTERM);
  for (pid_t child : children_) WaitChild(child, 60);
  children_.clear();
  input_.reset();
  server_.reset();
}

pid_t XProgramTest::StartOnDisplay(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& output) {
  const pid_t child = StartChild(program, args,
                                 {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server_->display()}, {"TMPDIR", folder()}},
                                 folder() + "/" + output);
  if (child > 0) children_.push_back(child);
  return child;
}

ChildEnvironment XProgramTest::programEnvironment(const std::string& probe) const {
  return {{"QT_QPA_PLATFORM", "xcb"},
          {"DISPLAY", server_->display()},
          {"QT_PLUGIN_PATH", testProgramsFolder() + "/qtplugins"},
          {"QT_QPA_GENERIC_PLUGINS", "qvprobe"},
          {"QV_PROBE_FILE", folder() + "/" + probe + ".txt"}};
}

bool XProgramTest::StartProgram(const std::vector<std::string>& files, const std::vector<std::string>& settings) {
  std::filesystem::create_directories(home() + "/.config/Quelvatron");
  {
    std::ofstream conf(home() + "/.config/Quelvatron/Quelvatron.conf");
    conf << "[General]\n";
    for (const std::string& line : settings) conf << line << "\n";
  }
  // What an earlier program showed is not this one's.
  std::filesystem::remove(folder() + "/probe.txt");
  const pid_t child =
      ::StartProgram(files, home(), folder(), "program-output.txt", programEnvironment("probe"));
  if (child <= 0) return false;
  children_.push_back(child);
  program_ = child;
  // A sanitizer build starts slowly.
  return WaitFor([](const ProbeView& view) { return view.window("wcMain") != nullptr; }, 120);
}

pid_t XProgramTest::StartLaunch(const std::vector<std::string>& files, const std::string& name) {
  std::filesystem::remove(folder() + "/" + name + ".txt");
  const pid_t child = ::StartProgram(files, home(), folder(), name + "-output.txt", programEnvironment(name));
  if (child > 0) children_.push_back(child);
  return child;
}

void XProgramTest::EndChild(pid_t child) {
  kill(child, SIGTERM);
  WaitForExit(child, 60);
}

int XProgramTest::WaitForExit(pid_t child, int seconds) {
  const int status = WaitChild(child, seconds);
  std::erase(children_, child);
  return status;
}

bool XProgramTest::Running(pid_t child) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

std::string XProgramTest::TestProgram(const std::string& name) { return testProgramsFolder() + "/" + name; }

std::string XProgramTest::ProgramOutput() const {
  return ReadWholeFile(folder() + "/program-output.txt") + ProgramSessionLog(folder());
}

ProbeView XProgramTest::Probe(const std::string& name) const {
  ProbeView view;
  std::ifstream in(folder() + "/" + name + ".txt");
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = fields(line);
    if (f.size() == 2 && f[0] == "probe") {
      view.serial = std::stoll(f[1]);
    } else if (f.size() >= 6 && f[0] == "window") {
      view.windows.push_back({f[1], rectAt(f, 2), f.size() > 6 ? f[6] : std::string()});
    } else if (f.size() >= 7 && f[0] == "widget") {
      ProbedWidget w{f[1], f[2], rectAt(f, 3)};
      for (size_t i = 7; i < f.size(); ++i) {
        if (f[i].rfind("rows=", 0) == 0) w.rows = std::stoi(f[i].substr(5));
        w.hbar = w.hbar || f[i] == "hbar";
        w.vbar = w.vbar || f[i] == "vbar";
        w.enabled = w.enabled && f[i] != "disabled";
      }
      view.widgets.push_back(w);
    } else if (f.size() >= 8 && f[0] == "row") {
      view.rows.push_back({f[1], f[2], std::stoi(f[3]), rectAt(f, 4), f.size() > 8 ? f[8] : std::string()});
    } else if (f.size() >= 3 && f[0] == "message") {
      view.messages.push_back(f[2]);
    } else if (f.size() >= 2 && f[0] == "active") {
      view.active = f[1];
    }
  }
  return view;
}

bool XProgramTest::WaitFor(const std::function<bool(const ProbeView&)>& condition, int seconds,
                           const std::string& name) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition(Probe(name))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

bool XProgramTest::Press(const std::string& window, const std::string& name) {
  const ProbeView view = Probe();
  const ProbedWidget* widget = view.widget(window, name);
  if (widget == nullptr) return false;
  input_->click(widget->rect.center());
  return true;
}

void XProgramTest::Shot(const std::string& name) const {
  const char* folder = std::getenv("QV_SCREENSHOTS");
  if (folder == nullptr || input_ == nullptr) return;
  std::filesystem::create_directories(folder);
  input_->screen().save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}
