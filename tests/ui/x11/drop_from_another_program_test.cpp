// Another program, as a file manager does, drags a file onto the running
// program through a real X server: onto the canvas, the list of inputs, the
// list of display objects, and a text field of the input window (a drop
// target of Qt's own). Some file managers delete the file after a drop they
// were told was a move. Whatever the source offers, it is told "move" at
// no moment: not while the drag moves over the window, not at the drop, and
// the file stays where it was. A file dropped on the canvas or a list is
// added to the project, offered as a copy or as a move alone.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "support/media_fixtures.h"
#include "ui/support/x_program.h"

namespace {

struct DragOutcome {
  std::vector<std::string> told; // the answers the source saw while dragging
  std::string result;            // what its drag ended with
  pid_t source = -1;
};

class DropFromAnotherProgramTest : public XProgramTest {
protected:
  // The report's lines so far.
  std::vector<std::string> report(const std::string& path) const {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // A person presses the file in the source's window, carries it onto the
  // point (holding Shift, which asks for a move, when said) and lets go.
  DragOutcome drag(const std::string& file, const std::string& offer, QPoint to, bool shift = false) {
    DragOutcome outcome;
    const std::string path = folder() + "/drag-" + std::to_string(++drags_) + ".txt";
    outcome.source = StartOnDisplay(TestProgram("x11_drag_source"), {file, offer, path},
                                    "source-" + std::to_string(drags_) + ".txt");
    std::istringstream ready(waitForLine(path, "ready "));
    std::string word;
    int x = 0, y = 0, w = 0, h = 0;
    if (!(ready >> word >> x >> y >> w >> h)) return outcome;
    const QPoint from = QRect(x, y, w, h).center();
    input().moveTo(from);
    input().press();
    if (shift) input().keyDown("Shift_L");
    for (int step = 1; step <= 12; ++step) input().moveTo(from + (to - from) * step / 12);
    // Over the window the source hears an answer; a few more moves bring more.
    waitForLine(path, "told ", [](const std::string& line) { return line != "told none"; });
    for (const QPoint nudge : {QPoint(3, 2), QPoint(5, 4), QPoint(2, 5)}) input().moveTo(to + nudge);
    input().release();
    if (shift) input().keyUp("Shift_L");
    const std::string end = waitForLine(path, "exec ");
    if (!end.empty()) outcome.result = end.substr(5);
    for (const std::string& line : report(path)) {
      if (line.rfind("told ", 0) == 0) outcome.told.push_back(line.substr(5));
    }
    return outcome;
  }

  // The first line of the report that starts so and is wanted, once there;
  // empty after half a minute without.
  std::string waitForLine(const std::string& path, const std::string& start,
                          const std::function<bool(const std::string&)>& wanted = {}) const {
    for (int i = 0; i < 300; ++i) {
      for (const std::string& line : report(path)) {
        if (line.rfind(start, 0) == 0 && (!wanted || wanted(line))) return line;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
  }

  int inputRows() const {
    const ProbeView view = Probe();
    const ProbedWidget* list = view.widget("wcMain", "InputFilesTable");
    return list != nullptr ? list->rows : -1;
  }

  QPoint middleOf(const std::string& window, const std::string& name) const {
    const ProbeView view = Probe();
    const ProbedWidget* widget = view.widget(window, name);
    return widget != nullptr ? widget->rect.center() : QPoint(-1, -1);
  }

  std::string soundFile(const std::string& name) const {
    const std::string path = folder() + "/" + name;
    WriteWav16(path, 22050, 2, MakeRampPcm16(2205, 2));
    return path;
  }

private:
  int drags_ = 0;
};

std::string joined(const std::vector<std::string>& words) {
  std::string all;
  for (const std::string& word : words) all += word + " ";
  return all;
}

TEST_F(DropFromAnotherProgramTest, NoSourceIsEverToldMoveAndTheFileStays) {
  ASSERT_TRUE(StartProgram({}, {"ShowMenuAtStart=false"})) << ProgramOutput();
  struct Case {
    std::string target, offer;
    bool shift;
  };
  const Case cases[] = {{"PreviewImage", "move", false},      {"InputFilesTable", "move", false},
                        {"DispObjsTable", "move", false},     {"PreviewImage", "copy-move", false},
                        {"InputFilesTable", "copy-move", true}};
  int added = 0;
  for (const Case& c : cases) {
    const std::string where = c.target + ", offered " + c.offer + (c.shift ? " with Shift" : "");
    SCOPED_TRACE(where);
    const std::string file = soundFile("Onboard " + std::to_string(added + 1) + ".wav");
    const DragOutcome outcome = drag(file, c.offer, middleOf("wcMain", c.target), c.shift);
    ASSERT_FALSE(outcome.result.empty()) << "the drag did not end";
    EXPECT_FALSE(outcome.told.empty()) << "no answer while over the window";
    for (const std::string& answer : outcome.told) EXPECT_NE(answer, "move") << joined(outcome.told);
    EXPECT_NE(outcome.result, "move");
    if (c.offer == "copy-move" && !c.shift) {
      EXPECT_EQ(outcome.result, "copy");
    }
    ++added;
    ASSERT_TRUE(WaitFor([added](const ProbeView& view) {
      const ProbedWidget* list = view.widget("wcMain", "InputFilesTable");
      return list != nullptr && list->rows == added;
    })) << "rows: " << inputRows();
    Shot("drop-" + std::to_string(added));
    EndChild(outcome.source);
    EXPECT_TRUE(std::filesystem::exists(file));
  }

  // A text field takes the dropped file's address as text, and Qt's own
  // field answers what the source asks for: the program still never says move.
  const ProbeView view = Probe();
  const ProbedRow* first = view.row("wcMain", "InputFilesTable", "Onboard 1.wav");
  ASSERT_NE(first, nullptr);
  input().click(first->rect.center());
  ASSERT_TRUE(Press("wcMain", "InputEdit"));
  ASSERT_TRUE(WaitFor([](const ProbeView& view) { return view.widget("wcInputEdit", "NameText") != nullptr; }));
  const std::string file = soundFile("Pit Radio.wav");
  const DragOutcome outcome = drag(file, "move", middleOf("wcInputEdit", "NameText"));
  ASSERT_FALSE(outcome.result.empty()) << "the drag did not end";
  EXPECT_FALSE(outcome.told.empty()) << "no answer while over the field";
  for (const std::string& answer : outcome.told) EXPECT_NE(answer, "move") << joined(outcome.told);
  EXPECT_NE(outcome.result, "move");
  Shot("drop-on-text-field");
  EndChild(outcome.source);
  EXPECT_TRUE(std::filesystem::exists(file));
  input().tap("Escape");
}

} // namespace
