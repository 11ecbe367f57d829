#pragma once
// The launched shell with its real engine, for the main window's preview:
// sound to SDL's dummy device, the media clock in the test's hands when it
// asks for it, and helpers to place display objects and press on the canvas.
#include <QPointF>
#include <cstdint>
#include <string>

#include "ui/support/shell_fixture.h"
#include "support/scoped_env.h"

class wcMain;

class PreviewTest : public ShellTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Launches and waits until the preview has painted once.
  void LaunchMain();
  // A text object at the place (percent of the frame); its index.
  uint32_t AddText(float x, float y, float width, float height);
  void Place(uint32_t object, float x, float y, float width, float height);
  float ObjectX(uint32_t object) const;
  float ObjectY(uint32_t object) const;
  float ObjectWidth(uint32_t object) const;
  // Waits until the engine has finished its single-frame repaints.
  static bool WaitIdle();
  // The media clock stands at clockNow while this is on.
  void HoldMediaClock();
  // The undo snapshot as it is now: its bytes and modification time.
  std::string UndoSnapshotState() const;

  wcMain* main = nullptr;
  double clockNow = 1000.0;
  ScopedEnv silentSound_{"SDL_AUDIODRIVER", "dummy"};
};
