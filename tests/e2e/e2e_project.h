#pragma once
// The project of the end-to-end renders: a generated video with sound and
// a circuit log as inputs, and over the picture a text, a speedometer, a
// track map, a lap timer and a shape, built through the engine facade,
// saved, closed and opened again.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "e2e/e2e_support.h"
#include "support/frame_boxes.h"

using E2eBox = FrameBox;

// Index frames: the top half carries the frame number, the bottom half
// four colour patches; the data objects sit in the bottom half, the text
// in the top strip above the row the number is read from.
constexpr E2eBox kTextBox{2, 2, 40, 16};
constexpr E2eBox kSpeedoBox{1, 51, 24, 47};
constexpr E2eBox kMapBox{26, 51, 24, 47};
constexpr E2eBox kLapTimerBox{51, 52, 30, 14};
constexpr E2eBox kShapeBox{54, 70, 14, 26};
constexpr E2eBox kUncoveredBox{84, 54, 15, 44};

constexpr int kWidth = 320, kHeight = 180, kFrames = 45;
constexpr float kRate = 15.0f;

class E2eProjectTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Makes both inputs and every object, saves the project, starts a new
  // one and opens the saved file again.
  void BuildSaveAndReopen();
  // Waits until the output render is idle, at most the given seconds.
  static bool WaitIdle(int seconds);

  std::string work;    // generated sources and the project file
  std::string video;   // the source video
  std::string project; // the saved project
  E2eCircuit circuit;
  uint32_t videoInput = 255, logInput = 255;
  uint32_t speedo = kNoObject, map = kNoObject, lapTimer = kNoObject;

private:
  static constexpr uint32_t kNoObject = 0xFFFFFFFF;
  void AddInputs();
  void AddObjects();
  uint32_t AddObject(uint32_t type, uint32_t input, const E2eBox& box);
};
