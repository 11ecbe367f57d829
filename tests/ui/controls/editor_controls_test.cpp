// The shared editor controls: text fields, steppers, sliders and colour
// wells act on the user's input only, never on the program's own sets; the one colour panel
// serves whichever well was clicked last, also from inside a modal window.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <limits>

#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/util/ui_utils.h"

TEST(RealStepperTest, OnlyUserStepsActAndTheyLandOnTheDecimalShown) {
  RealStepper stepper(0, 1, 0.1);
  stepper.show();
  int actions = 0;
  QObject::connect(&stepper, &RealStepper::changed, [&]() { ++actions; });

  stepper.setValue(5);
  EXPECT_EQ(stepper.value(), 1.0) << "held to the maximum";
  stepper.setValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(stepper.value(), 0.0);
  stepper.setRange(0, 2);
  stepper.setIncrement(0.1);
  EXPECT_EQ(actions, 0) << "the program's sets are no action";

  for (int i = 0; i < 10; ++i) QTest::mouseClick(stepper.upArrow(), Qt::LeftButton);
  EXPECT_EQ(actions, 10);
  EXPECT_EQ(stepper.value(), 1.0) << "ten steps of 0.1 read as 1, not 0.9999999";
  EXPECT_EQ(stepper.intValue(), 1);

  stepper.setValue(2);
  QTest::mouseClick(stepper.upArrow(), Qt::LeftButton);
  EXPECT_EQ(actions, 10) << "a step that cannot move is no action";
  QTest::keyClick(&stepper, Qt::Key_Down);
  EXPECT_EQ(stepper.value(), 1.9);
  QTest::keyClick(&stepper, Qt::Key_PageDown);
  EXPECT_EQ(stepper.value(), 0.9);
  EXPECT_EQ(actions, 12);

  stepper.setWraps(true);
  stepper.setValue(2);
  QTest::mouseClick(stepper.upArrow(), Qt::LeftButton);
  EXPECT_EQ(stepper.value(), 0.0) << "wrapping";
  stepper.setEnabled(false);
  QTest::mouseClick(stepper.downArrow(), Qt::LeftButton);
  EXPECT_EQ(actions, 13) << "a disabled stepper does not step";

  stepper.setRange(-5, 5);
  stepper.setValue(-2.7);
  EXPECT_EQ(stepper.intValue(), -2) << "integer value truncates toward zero";
}

TEST(RealSliderTest, ProgramValuesStayExactAndUserMovesLandOnSteps) {
  RealSlider slider(0, 200, 1);
  slider.resize(200, 24);
  slider.show();
  int actions = 0;
  QObject::connect(&slider, &RealSlider::changed, [&]() { ++actions; });

  slider.setValue(37.4);
  EXPECT_EQ(slider.value(), 37.4) << "kept as set";
  EXPECT_EQ(slider.knob()->value(), 37);
  slider.setValue(-3);
  EXPECT_EQ(slider.value(), 0.0);
  slider.setValue(137);
  EXPECT_EQ(actions, 0);

  QTest::keyClick(slider.knob(), Qt::Key_Right);
  EXPECT_EQ(slider.value(), 138.0);
  QTest::keyClick(slider.knob(), Qt::Key_End);
  EXPECT_EQ(slider.value(), 200.0);
  EXPECT_EQ(actions, 2);

  // A drag from the knob to the far left end of the groove.
  slider.setValue(100);
  QSlider* knob = slider.knob();
  const QPoint grip(knob->width() / 2, knob->height() / 2);
  QTest::mousePress(knob, Qt::LeftButton, {}, grip);
  QTest::mouseMove(knob, QPoint(grip.x() - 40, grip.y()));
  QTest::mouseMove(knob, QPoint(-50, grip.y()));
  QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(-50, grip.y()));
  EXPECT_EQ(slider.value(), 0.0);
  EXPECT_GE(actions, 4) << "every move of a tracking drag acts";

  const int before = actions;
  slider.setRange(-1, 1, 0.1);
  EXPECT_EQ(slider.value(), 0.0);
  slider.setValue(1);
  QTest::keyClick(slider.knob(), Qt::Key_Left);
  EXPECT_EQ(slider.value(), 0.9) << "a decimal step reads as that decimal";
  EXPECT_EQ(actions, before + 1);
  slider.setValue(-0.55);
  EXPECT_EQ(slider.intValue(), 0);
}

class ColorWellTest : public ::testing::Test {
protected:
  static QWidget* standardSwatches(QColorDialog* panel) {
    for (QWidget* child : panel->findChildren<QWidget*>()) {
      if (QString(child->metaObject()->className()).endsWith("QWellArray")) return child;
    }
    return nullptr;
  }
};

TEST_F(ColorWellTest, OneSharedPanelServesTheWellClickedLast) {
  QWidget window;
  auto* row = new QHBoxLayout(&window);
  auto* first = new NSColorWellCustom(&window);
  auto* second = new NSColorWellCustom(&window);
  row->addWidget(first);
  row->addWidget(second);
  window.show();
  int firstActions = 0;
  int secondActions = 0;
  QObject::connect(first, &NSColorWellCustom::changed, [&]() { ++firstActions; });
  QObject::connect(second, &NSColorWellCustom::changed, [&]() { ++secondActions; });

  first->setColor(QColor(255, 0, 0, 0));
  second->setColor(Qt::yellow);
  QTest::mousePress(first, Qt::LeftButton);
  EXPECT_FALSE(first->isActive()) << "a press alone does nothing";
  QTest::mouseRelease(first, Qt::LeftButton);
  ASSERT_TRUE(first->isActive());
  QColorDialog* panel = NSColorWellCustom::sharedPanel();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->currentColor(), QColor(255, 0, 0)) << "the panel shows the colour opaque";
  EXPECT_EQ(firstActions, 0) << "taking the well's colour is no pick";

  panel->setCurrentColor(Qt::blue);
  EXPECT_EQ(firstActions, 1);
  EXPECT_EQ(first->color(), QColor(Qt::blue));

  QTest::mouseClick(second, Qt::LeftButton);
  EXPECT_FALSE(first->isActive());
  EXPECT_TRUE(second->isActive());
  EXPECT_EQ(NSColorWellCustom::sharedPanel(), panel) << "one panel for all wells";
  EXPECT_EQ(panel->currentColor(), QColor(Qt::yellow));
  panel->setCurrentColor(Qt::green);
  EXPECT_EQ(second->color(), QColor(Qt::green));
  EXPECT_EQ(first->color(), QColor(Qt::blue));
  EXPECT_EQ(firstActions, 1);
  EXPECT_EQ(secondActions, 1);

  second->setEnabled(false);
  EXPECT_FALSE(second->isActive()) << "a disabled well lets go of the panel";
  QTest::mouseClick(second, Qt::LeftButton);
  EXPECT_FALSE(second->isActive());
  first->activate();
  panel->close();
  EXPECT_FALSE(first->isActive()) << "closing the panel ends the activation";
  panel->setCurrentColor(Qt::cyan);
  EXPECT_EQ(firstActions, 1);
}

TEST_F(ColorWellTest, ThePanelWorksFromInsideAModalWindow) {
  QDialog dialog;
  auto* row = new QHBoxLayout(&dialog);
  auto* well = new NSColorWellCustom(&dialog);
  row->addWidget(well);
  well->setColor(Qt::white);
  int actions = 0;
  QObject::connect(well, &NSColorWellCustom::changed, [&]() { ++actions; });

  QColor picked;
  bool panelShown = false;
  QTimer::singleShot(0, &dialog, [&]() {
    // Every click below goes through the window system, where a modal
    // window blocks the input of windows that are not its own.
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, well->mapTo(&dialog, well->rect().center()));
    QColorDialog* panel = NSColorWellCustom::sharedPanel();
    panelShown = well->isActive() && panel->isVisible();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(panel));
    QWidget* swatches = standardSwatches(panel);
    if (swatches != nullptr) {
      QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, swatches->mapTo(panel, QPoint(8, 8)));
      picked = panel->currentColor();
    }
    dialog.accept();
  });
  dialog.exec();

  EXPECT_TRUE(panelShown);
  ASSERT_TRUE(picked.isValid()) << "the panel's swatches were not found";
  EXPECT_EQ(actions, 1) << "the click in the panel reached it through the modal run";
  EXPECT_NE(picked, QColor(Qt::white));
  EXPECT_EQ(well->color(), picked);
  EXPECT_FALSE(well->isActive());
  EXPECT_FALSE(NSColorWellCustom::sharedPanel()->isVisible()) << "the panel went with its modal window";
}

TEST(TextFieldTest, ActsOnReturnAndOnLeavingAfterAnEditOnly) {
  QWidget window;
  auto* row = new QHBoxLayout(&window);
  auto* field = new TextField(&window);
  auto* stepper = new RealStepper(0, 255, 1, &window);
  auto* other = new TextField(&window);
  row->addWidget(field);
  row->addWidget(stepper);
  row->addWidget(other);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  // The number-field pattern: the text goes into the stepper, which holds
  // it, and the stepper's value comes back as text.
  int actions = 0;
  QObject::connect(field, &TextField::changed, [&]() {
    ++actions;
    stepper->setValue(NSStringToInt(field->text()));
    field->setText(QString::number(stepper->intValue()));
  });

  field->setText("12");
  field->setFocus();
  other->setFocus();
  EXPECT_EQ(actions, 0) << "tabbing through a filled field is no action";

  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, "500");
  EXPECT_TRUE(field->isEdited());
  other->setFocus();
  EXPECT_EQ(actions, 1);
  EXPECT_EQ(field->text(), "255") << "the stepper held the typed value";
  EXPECT_FALSE(field->isEdited());

  field->setFocus();
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(actions, 2) << "Return acts even without an edit";
  other->setFocus();
  EXPECT_EQ(actions, 2);

  field->setFocus();
  QTest::keyClicks(field, "9");
  field->setText("3");
  other->setFocus();
  EXPECT_EQ(actions, 2) << "the program's set drops the pending edit";
}

TEST(TextFieldTest, ReturnEntersTheFieldWithoutPressingTheDefaultButton) {
  QDialog dialog;
  auto* row = new QHBoxLayout(&dialog);
  auto* field = new TextField(&dialog);
  auto* ok = new QPushButton("OK", &dialog);
  row->addWidget(field);
  row->addWidget(ok);
  ok->setDefault(true);
  int accepted = 0;
  int actions = 0;
  QObject::connect(ok, &QPushButton::clicked, [&]() { ++accepted; });
  QObject::connect(field, &TextField::changed, [&]() { ++actions; });
  dialog.show();
  QTest::keyClicks(field, "12");
  QTest::keyClick(field, Qt::Key_Return);
  QTest::keyClick(field, Qt::Key_Enter);
  EXPECT_EQ(actions, 2);
  EXPECT_EQ(accepted, 0);
  EXPECT_TRUE(dialog.isVisible());
}
