#pragma once
// The shell launched with generated inputs added as a user adds them, and
// helpers that work the sync windows' controls as a user does: typing
// times and pressing Return, clicking buttons, picking combo entries.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <string>

#include "base/message_box.h"
#include "model/inputs.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/text_field.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"

class SyncTest : public ListsTest {
protected:
  // Adds the file through the main window; its input index.
  uint32_t Add(const std::string& path) {
    EXPECT_TRUE(main->UiInputAdd(QString::fromStdString(path), false)) << path;
    return InputFind(QString::fromStdString(path).section('/', -1).toStdU16String().c_str());
  }
  uint32_t AddFlashVideo(const std::string& name, double seconds, double flash) {
    return Add(MakeFlashVideo(File(name), seconds, flash));
  }
  uint32_t AddPeakLog(const std::string& name, double seconds, double peak) {
    return Add(MakeSpeedPeakLog(File(name), seconds, peak));
  }

  template <typename T> static T* Find(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static void Type(TextField* field, const QString& text) {
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  static void Click(QWidget* window, const char* button) { Find<QPushButton>(window, button)->click(); }
  static void Pick(QComboBox* combo, const QString& text) {
    combo->setCurrentIndex(combo->findText(text));
    emit combo->textActivated(combo->currentText());
  }
  static bool IsRed(const QLabel* label) { return label->palette().color(QPalette::WindowText) == QColor(220, 0, 0); }
  static QString Name(uint32_t input) { return QString::fromStdU16String(InputGetName(input)); }
  static MainStruct Record(uint32_t input) { return *InputGetMain(input); }
  static void Place(uint32_t input, float start, float trimStart, float rate = 1.0f) {
    MainStruct main = *InputGetMain(input);
    main.StartTime = start;
    main.TrimStart = trimStart;
    main.PlayRate = rate;
    ASSERT_EQ(InputSetMain(input, &main), 0);
  }
};
