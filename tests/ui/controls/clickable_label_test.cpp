#include "ui/controls/NSTextLabelCustom.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

namespace {

void send(QWidget* widget, QEvent::Type type) {
  QPointF at(5, 5);
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void click(QWidget* widget) {
  send(widget, QEvent::MouseButtonPress);
  send(widget, QEvent::MouseButtonRelease);
}

} // namespace

class ClickableLabelTest : public ::testing::Test {
protected:
  void SetUp() override {
    label.resize(80, 20);
    label.show();
    QObject::connect(&label, &NSTextLabelCustom::clicked, [this]() { ++clicks; });
  }
  NSTextLabelCustom label{"00:00:12.00"};
  int clicks = 0;
};

TEST_F(ClickableLabelTest, AClickSendsOnMouseUp) {
  send(&label, QEvent::MouseButtonPress);
  EXPECT_EQ(clicks, 0);
  send(&label, QEvent::MouseButtonRelease);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ClickableLabelTest, ADoubleClickSendsTwice) {
  click(&label);
  send(&label, QEvent::MouseButtonDblClick);
  send(&label, QEvent::MouseButtonRelease);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ClickableLabelTest, DisabledOrHiddenLabelsSendNothing) {
  label.setEnabled(false);
  click(&label);
  label.setEnabled(true);
  label.hide();
  click(&label);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ClickableLabelTest, AReleaseWithoutAPressIsNoClick) {
  send(&label, QEvent::MouseButtonRelease);
  EXPECT_EQ(clicks, 0);
}

TEST(ClickableLabelAloneTest, NoReceiverNoEffect) {
  NSTextLabelCustom label("x");
  label.show();
  click(&label);
  EXPECT_EQ(label.text(), "x");
  EXPECT_EQ(label.textInteractionFlags(), Qt::NoTextInteraction);
}
