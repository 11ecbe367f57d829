#pragma once
// Data display objects over the synthetic circuit log: the log as an
// input, objects on it, frames over a plain backdrop and golden checks.
#include "render/objects_data/circuit_log.h"
#include "support/golden.h"
#include "render/render_fixture.h"

#include <string>

class DataObjTest : public RenderTest {
protected:
  void SetUp() override;
  // An object of the type on the circuit log, box in percent.
  uint32_t AddData(uint32_t type, float x, float y, float w, float h);
  // A backdrop picture over the whole frame (added first, so drawn first).
  void AddBackdrop(uint32_t rgb = 0x58606A);
  std::vector<uint32_t> Frame(float time, int width = 480, int height = 270);
  // The text a text-like object shows at the time.
  std::string ShownText(uint32_t object, float time);
  // Pixels of the frame that differ from the backdrop colour.
  static int Drawn(const std::vector<uint32_t>& frame, uint32_t backdrop = 0x58606A, int tolerance = 12);
  void ExpectGolden(const std::string& name, const std::vector<uint32_t>& frame, int width = 480,
                    int height = 270);

  CircuitLog circuit;
  uint32_t input = 255;
};
