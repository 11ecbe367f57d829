// On a laptop's 1366x768 screen the input window of a video with sound is
// taller than the screen and scrolls, while the data input window of a GPX
// log fits whole. A person opens the data window, then the video's, then
// the data window again, pressing the program's buttons through a real X
// server: the data window opens at the same size each time, whatever was
// opened before it, with no scroll bars; the video's scrolls, on the screen.
#include <fstream>
#include <string>

#include "support/media_fixtures.h"
#include "ui/support/x_program.h"

namespace {

// Where the input window stands and which scroll bars it shows.
std::string inputWindowState(const ProbeView& view) {
  const ProbedWindow* window = view.window("wcInputEdit");
  const ProbedWidget* scroller = view.widget("wcInputEdit", "WindowContentScroller");
  if (window == nullptr) return {};
  const QRect& r = window->rect;
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + (scroller != nullptr && scroller->hbar ? " hbar" : "") +
         (scroller != nullptr && scroller->vbar ? " vbar" : "");
}

class InputWindowSizeTest : public XProgramTest {
protected:
  // Selects the input's row and presses Configure; what shows once the
  // input window is up.
  bool openInputWindow(const std::string& name, ProbeView& view) {
    const ProbeView before = Probe();
    const ProbedRow* row = before.row("wcMain", "InputFilesTable", name);
    if (row == nullptr) return false;
    input().click(row->rect.center());
    if (!Press("wcMain", "InputEdit")) return false;
    const std::string title = "Configure Input File: " + name;
    if (!WaitFor([&title](const ProbeView& v) {
          const ProbedWindow* window = v.window("wcInputEdit");
          return window != nullptr && window->title == title;
        }))
      return false;
    // Past the placement and the layout it gets once shown: a later write
    // of the probe shows it as the one before.
    ProbeView last;
    const bool settled = WaitFor([&last](const ProbeView& now) {
      if (now.serial <= last.serial) return false;
      const bool same = now.window("wcInputEdit") != nullptr && inputWindowState(now) == inputWindowState(last);
      last = now;
      return same;
    });
    view = last;
    return settled;
  }

  bool closeInputWindow() {
    // A window gets the keyboard some time after it shows.
    if (!WaitFor([](const ProbeView& view) { return view.active == "wcInputEdit"; })) return false;
    input().tap("Escape");
    return WaitFor([](const ProbeView& view) { return view.window("wcInputEdit") == nullptr; });
  }
};

// Scroll bars of the window's own, when its content had to scroll.
bool scrolls(const ProbeView& view, bool* across = nullptr) {
  const ProbedWidget* scroller = view.widget("wcInputEdit", "WindowContentScroller");
  if (across != nullptr) *across = scroller != nullptr && scroller->hbar;
  return scroller != nullptr && (scroller->hbar || scroller->vbar);
}

TEST_F(InputWindowSizeTest, TheDataWindowOpensAtItsOwnSizeAfterTheVideosTallerOne) {
  const std::string video = folder() + "/Onboard.mp4";
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=f=440:sample_rate=48000 -t 3 "
                        "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest \"" +
                        video + "\""));
  const std::string log = folder() + "/Track.gpx";
  std::ofstream(log) << "<?xml version=\"1.0\"?><gpx version=\"1.1\"><trk><trkseg>"
                        "<trkpt lat=\"48.1\" lon=\"2.1\"><ele>35</ele><time>2026-12-07T12:00:00Z</time></trkpt>"
                        "<trkpt lat=\"48.2\" lon=\"2.2\"><ele>36</ele><time>2026-12-07T12:00:01Z</time></trkpt>"
                        "</trkseg></trk></gpx>";
  ASSERT_TRUE(StartProgram({video, log}, {"ShowMenuAtStart=false"})) << ProgramOutput();
  // The log brings its template menu: no template.
  ASSERT_TRUE(WaitFor([](const ProbeView& view) { return view.active == "wcTemplateMenu"; })) << ProgramOutput();
  input().tap("Escape");
  ASSERT_TRUE(WaitFor([](const ProbeView& view) {
    return view.window("wcTemplateMenu") == nullptr && view.row("wcMain", "InputFilesTable", "Track.gpx") != nullptr;
  }));
  const QRect screen(QPoint(0, 0), QSize(1366, 768));

  ProbeView view;
  ASSERT_TRUE(openInputWindow("Track.gpx", view)) << ProgramOutput();
  const QSize own = view.window("wcInputEdit")->rect.size();
  EXPECT_FALSE(scrolls(view));
  Shot("data-window-first");
  ASSERT_TRUE(closeInputWindow());

  ASSERT_TRUE(openInputWindow("Onboard.mp4", view));
  const QRect tall = view.window("wcInputEdit")->rect;
  bool across = true;
  EXPECT_TRUE(scrolls(view, &across)) << "the video's window fits at " << tall.width() << "x" << tall.height();
  EXPECT_FALSE(across) << "only what is too tall scrolls";
  EXPECT_TRUE(screen.contains(tall));
  Shot("video-window");
  ASSERT_TRUE(closeInputWindow());

  ASSERT_TRUE(openInputWindow("Track.gpx", view));
  const QRect again = view.window("wcInputEdit")->rect;
  EXPECT_EQ(again.size(), own) << again.width() << "x" << again.height() << " after the video's window, "
                               << own.width() << "x" << own.height() << " first";
  EXPECT_FALSE(scrolls(view));
  EXPECT_TRUE(screen.contains(again));
  Shot("data-window-after-video");
  ASSERT_TRUE(closeInputWindow());
}

} // namespace
