#pragma once
// The data-driven panels (track map, time graph, G-force, embedded image)
// with the launched program: a lap session logged as a circuit logger
// writes it, objects added from the toolbox bound to it, and the panel
// the property window then shows.
#include <vector>

#include "model/inputs.h"
#include "support/circuit_log.h"
#include "ui/dispobj/kind_panel_fixture.h"

class DataPanelTest : public KindPanelTest {
protected:
  // A session of laps of the given times (seconds), an out lap before
  // and a tail after them, written as CSV (time, position, speed, lap)
  // and added as an input; its index.
  uint32_t AddLapSession(std::vector<double> lapTimes, double rate = 20.0) {
    E2eCircuit circuit;
    circuit.lapTimes = std::move(lapTimes);
    circuit.rate = rate;
    const std::string path = circuit.write(File("session" + std::to_string(++sessions_) + ".csv"));
    EXPECT_FALSE(path.empty());
    const uint32_t input = InputAdd(QString::fromStdString(path).toStdU16String().c_str());
    EXPECT_NE(input, kNoInput);
    main->DispObjRefresh(kNoDispObj);
    return input;
  }
  // The user adds an object of the type from the toolbox; the property
  // window shows it with the panel of its kind.
  template <class Panel> Panel* AddAndOpen(uint32_t type, DispPanel bit, uint32_t* object) {
    *object = AddFromToolbox(type);
    EXPECT_NE(*object, kNoDispObj);
    EXPECT_EQ(Editor()->OurIndex(), *object);
    auto* panel = static_cast<Panel*>(Editor()->Panel(bit));
    EXPECT_FALSE(panel->isHidden());
    return panel;
  }
  // The property window loads the object afresh, as after another
  // selection (a second load of the same object only refreshes).
  template <class Panel> Panel* Reload(uint32_t object, DispPanel bit) {
    Editor()->SetDisplayObject(static_cast<int>(kNoDispObj));
    return Open<Panel>(object, bit);
  }

private:
  int sessions_ = 0;
};
