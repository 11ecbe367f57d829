#pragma once
// The data windows under test: a generated lap session added as a data
// input, and the choosers of the data group as the user works them.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "ui/input/input_fixture.h"
#include "ui/support/lap_session.h"

class DataWindowTest : public InputWindowTest {
protected:
  void SetUp() override {
    InputWindowTest::SetUp();
    ASSERT_EQ(ProjectSetSpeedUnit(kSpeedMph), 0);
  }
  uint32_t AddSession(const std::string& name = "session.csv") {
    const uint32_t input = Add(session.write(File(name)));
    EXPECT_NE(input, kNoInput);
    main->InputRefresh(kNoInput);
    return input;
  }
  // Picks an entry of the list as a click in its popup does.
  static void Pick(QComboBox* combo, const QString& text) {
    const int row = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    ASSERT_GE(row, 0) << text.toStdString();
    combo->setCurrentIndex(row);
    emit combo->activated(row);
  }
  // Types into an editable chooser and presses Return.
  static void TypeChoice(QComboBox* combo, const QString& text) {
    Type(static_cast<TextField*>(combo->lineEdit()), text);
  }
  static QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }
  static QString Text(const char16_t* field) {
    qsizetype length = 0;
    while (length < kNameLength && field[length] != 0) ++length;
    return QString::fromUtf16(field, length);
  }
  static double Value(uint32_t input, uint32_t query, double time) {
    return InputHandlerGetDataTypeValue(input, 1, query, static_cast<float>(time));
  }
  static double Field(uint32_t input, const char16_t* name, double time) {
    const int32_t field = InputHandlerGetDataFieldIndex(input, name);
    EXPECT_GE(field, 0) << QString::fromUtf16(name).toStdString();
    return InputHandlerGetDataFieldValue(input, 1, static_cast<uint32_t>(field), static_cast<float>(time));
  }

  LapSession session;
};
