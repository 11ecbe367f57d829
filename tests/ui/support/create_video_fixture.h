#pragma once
// The launched shell with a project to render: a generated video with
// sound (index frames, 320 x 180 at 15 frames per second, 3 s), a circuit
// log and, over the picture, a speedometer, a track map and a lap timer.
// Create Video is run from the File menu; the tests play the user's part in
// the output window and in the progress window.
#include <QString>
#include <functional>
#include <string>

#include "support/circuit_log.h"
#include "support/frame_boxes.h"
#include "ui/preview/preview_fixture.h"

class wcCreateStatus;
class wcCreateVideo;

// The index frames carry their number in the top half: the data objects sit
// in the bottom half, beside a corner left uncovered.
constexpr FrameBox kSpeedoBox{1, 51, 24, 47};
constexpr FrameBox kMapBox{26, 51, 24, 47};
constexpr FrameBox kLapTimerBox{51, 52, 30, 14};
constexpr FrameBox kUncoveredBox{84, 54, 15, 44};
constexpr int kVideoWidth = 320, kVideoHeight = 180, kVideoFrames = 45;

class CreateVideoTest : public PreviewTest {
protected:
  void SetUp() override;

  // Launches, adds both inputs and the four objects; circuit as given.
  void BuildProject();
  // Runs File > Create Video File...; `settings` plays the user in the
  // output window once it has filled its controls, `progress` in the
  // progress window while the render runs (after it the test waits until
  // the window has closed). Without a progress part the render runs on.
  void RunCreateVideo(const std::function<void(wcCreateVideo*)>& settings,
                      const std::function<void(wcCreateStatus*)>& progress = nullptr);
  // Picks the 320 x 180, 15 frames per second output of the source.
  static void ChooseSourceSize(wcCreateVideo* window);
  // Presses Create with the save panel answering the path.
  void CreateInto(wcCreateVideo* window, const std::string& path);

  std::string work;
  std::string video;
  E2eCircuit circuit;
  uint32_t videoInput = 255, logInput = 255;
  bool outputWindowOpenAfterRun = false; // the output window stayed open
  // Plays the user in any other window run on the way (the upload window).
  std::function<void(WindowController*)> otherWindow;
};
