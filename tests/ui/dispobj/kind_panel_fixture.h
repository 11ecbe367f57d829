#pragma once
// The property window's per-kind panels with the launched program: opening
// an object the way the main window does, and the user's hands on the
// controls (typing and Return, picking from a list, picking a colour in
// the shared colour panel).
#include <QColor>
#include <QColorDialog>
#include <QComboBox>
#include <QStringList>
#include <QTest>
#include <cstring>
#include <fstream>

#include "base/access_lock.h"
#include "model/inputs.h"
#include "model/timeline.h"
#include "render/loop/frame_render.h"
#include "support/golden.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/dispobj/vcDispObjPicture.h"

class KindPanelTest : public DispObjTest {
protected:
  // The property window, shown with the object, and its panel of that kind.
  template <class Panel> Panel* Open(uint32_t object, DispPanel bit) {
    Editor()->showWindow();
    EXPECT_TRUE(Editor()->SetDisplayObject(static_cast<int>(object)));
    auto* panel = static_cast<Panel*>(Editor()->Panel(bit));
    EXPECT_FALSE(panel->isHidden());
    return panel;
  }
  template <class Record> static Record Param(uint32_t object) {
    Record record{};
    std::memcpy(&record, DispObjGetParam(object), sizeof record);
    return record;
  }
  template <class Record, class Change> static void EditParam(uint32_t object, Change change) {
    Record record = Param<Record>(object);
    change(record);
    ASSERT_EQ(DispObjSetParam(object, &record), 0);
  }
  // Replaces the field's text by typing and presses Return.
  static void Type(TextField* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  // Picks an entry of the list as a click in its popup does.
  static void Pick(QComboBox* combo, const QString& text) {
    const int row = combo->findText(text);
    ASSERT_GE(row, 0) << text.toStdString();
    combo->setCurrentIndex(row);
    emit combo->activated(row);
  }
  static QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }
  // Clicks the well and picks the colour in the shared colour panel.
  static void PickColour(NSColorWellCustom* well, const QColor& colour) {
    QTest::mouseClick(well, Qt::LeftButton);
    ASSERT_TRUE(well->isActive());
    NSColorWellCustom::sharedPanel()->setCurrentColor(colour);
  }
  // The user types the box into the picture panel.
  void PlaceWithPanel(float x, float y, float w, float h) {
    auto* picture = static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
    for (auto [field, value] : {std::pair{picture->WidthText, w}, std::pair{picture->HeightText, h},
                                std::pair{picture->PosXText, x}, std::pair{picture->PosYText, y}})
      if (field->isEnabled()) Type(field, QString::number(value));
  }
  // The object drawn alone at the time into a 320 x 180 frame, compared
  // with tests/golden/ui/<golden>.png; the other objects are switched off
  // for the frame and back on afterwards.
  static void ExpectAlone(uint32_t object, const std::string& golden, float time) {
    constexpr int kWidth = 320, kHeight = 180;
    std::vector<uint8_t> active;
    for (uint32_t i = 0; i < DispObjCount(); ++i) {
      DispStruct record = *DispObjGet(i);
      active.push_back(record.Active);
      record.Active = i == object ? 1 : 0;
      DispObjSet(i, &record);
    }
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight, 0);
    TimelineApply(time);
    {
      ReadAccess access("KindPanelTest");
      ASSERT_EQ(RenderProjectFrame(time, FrameTarget{frame.data(), kWidth, kHeight, true}, FrameRenderOptions{}), 0);
    }
    EXPECT_EQ(CompareGoldenIn("ui", golden, frame, kWidth, kHeight), "");
    for (uint32_t i = 0; i < DispObjCount(); ++i) {
      DispStruct record = *DispObjGet(i);
      record.Active = active[i];
      DispObjSet(i, &record);
    }
  }
  static bool IsRed(const QWidget* label) {
    return label->palette().color(QPalette::WindowText) == QColor(200, 0, 0);
  }
  // A data log of ten seconds: speed 10 km/h per second, engine speed
  // 3000 rpm plus 500 a second. Its input's index.
  uint32_t AddRampLog() {
    const std::string path = File("ramp.csv");
    std::ofstream out(path);
    out << "Session,Panel test\n\nTime (s),Speed (km/h),RPM\n";
    for (int i = 0; i <= 100; ++i) out << i / 10.0 << "," << i << "," << 3000 + 50 * i << "\n";
    out.close();
    const uint32_t input = InputAdd(QString::fromStdString(path).toStdU16String().c_str());
    EXPECT_NE(input, kNoInput);
    return input;
  }
};
