#include "ui/util/ui_utils.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <string>

TEST(FormatTimeTest, Examples) {
  EXPECT_EQ(FormatTimeNSString(2, 0, 3725.456), "01:02:05.46");
  EXPECT_EQ(FormatTimeNSString(2, 0, 59.996), "00:01:00.00");
  EXPECT_EQ(FormatTimeNSString(2, 0, -3), "00:00:00.00");
  EXPECT_EQ(FormatTimeNSString(2, 1, 3600), "1:00:00.00");
  EXPECT_EQ(FormatTimeNSString(3, 1, 65.5), "1:05.500");
  EXPECT_EQ(FormatTimeNSString(3, 1, 5.5), "0:05.500");
  EXPECT_EQ(FormatTimeNSString(1, 2, 5.25), "5.3");
}

TEST(FormatTimeTest, CarriesAndShortForms) {
  EXPECT_EQ(FormatTimeNSString(2, 0, 3599.5), "00:59:59.50");
  EXPECT_EQ(FormatTimeNSString(2, 0, 3599.999), "01:00:00.00");
  EXPECT_EQ(FormatTimeNSString(1, 1, 0), "0:00.0");
  EXPECT_EQ(FormatTimeNSString(1, 2, 0), "0.0");
  EXPECT_EQ(FormatTimeNSString(0, 0, 1.25), FormatTimeNSString(1, 0, 1.25)) << "code 0 gives one decimal";
  EXPECT_EQ(FormatTimeNSString(2, 2, 61), "1:01.00");
}

TEST(FormatNumberTest, Examples) {
  EXPECT_EQ(FormatNumberNSString(1, 4, 2.5), "2.5");
  EXPECT_EQ(FormatNumberNSString(1, 4, 3), "3.0");
  EXPECT_EQ(FormatNumberNSString(1, 2, 7.1), "7.1");
  EXPECT_EQ(FormatNumberNSString(1, 4, 1.75), "1.75");
  EXPECT_EQ(FormatNumberNSString(3, 3, 1.5), "1.500");
  EXPECT_EQ(FormatNumberNSString(1, 4, 10), "10.0");
  EXPECT_EQ(FormatNumberNSString(1, 1, 10), "10.0");
  EXPECT_EQ(FormatNumberNSString(0, 0, 2.6), "3");
}

TEST(TextConversionTest, NullEmptyAndMalformedGiveEmpty) {
  EXPECT_EQ(WStrToNSString(nullptr), "");
  EXPECT_EQ(WStrToNSString(L""), "");
  const wchar_t bad[] = {L'a', static_cast<wchar_t>(0xD800), 0};
  EXPECT_EQ(WStrToNSString(bad), "");
  EXPECT_EQ(WStrToNSString(L"Gr\u00fcn \U0001F3C1"), QString::fromUtf8("Gr\xC3\xBCn \xF0\x9F\x8F\x81"));
  EXPECT_EQ(W16ToNSString(nullptr), "");
  EXPECT_EQ(W16ToNSString(u"Lap 1"), "Lap 1");
  EXPECT_EQ(CStrToNSString(nullptr), "");
  EXPECT_EQ(CStrToNSString("\xC3\x28"), "") << "malformed UTF-8";
  EXPECT_EQ(CStrToNSString("Monza"), "Monza");
}

TEST(ScrambleTest, RoundTripAndLimits) {
  QString scrambled = PasswordScramble("s3cret pass", L"VideoUploadPass");
  EXPECT_NE(scrambled, "s3cret pass");
  EXPECT_EQ(PasswordUnscramble(scrambled, L"VideoUploadPass"), "s3cret pass");
  QString longText(1500, QChar('x'));
  QString longScrambled = PasswordScramble(longText, L"k");
  EXPECT_EQ(longScrambled.toUcs4().size(), 1023);
  EXPECT_EQ(PasswordUnscramble(longScrambled, L"k"), longText.left(1023));
  EXPECT_EQ(PasswordScramble("abc", L""), "") << "an empty key scrambles nothing";
}

TEST(ScrambleTest, WrapsAtTheTopOfTheRange) {
  // 0xFFFF00 + 0xFF + 0 = 0xFFFFFF stays; one more wraps to 1 (not valid
  // text beyond U+10FFFF, so the string comes back empty either way).
  std::wstring key(1, static_cast<wchar_t>(0xFF));
  QString edge = QString::fromUcs4(std::u32string(1, U'\U0010FF00').c_str(), 1);
  EXPECT_EQ(PasswordScramble(edge, key.c_str()), QString::fromUcs4(std::u32string(1, U'\U0010FFFF').c_str(), 1));
  EXPECT_EQ(PasswordUnscramble(QString("\x01"), L"\x01"), "") << "0 - 0 terminates the text";
  // 'a' - 'b' is negative and wraps by 0xFFFFFF: beyond Unicode, so empty.
  EXPECT_EQ(PasswordUnscramble(QString("a"), L"b"), "");
}

TEST(RoundFloatTest, HalfAwayFromZero) {
  EXPECT_EQ(RoundFloat(2.5f), 3);
  EXPECT_EQ(RoundFloat(-2.5f), -3);
  EXPECT_EQ(RoundFloat(2.49f), 2);
  EXPECT_EQ(RoundFloat(-0.4f), 0);
}

TEST(TypeNameTest, KnownAndUnknownCodes) {
  EXPECT_EQ(DispObjTypeName(0), "Group");
  EXPECT_EQ(DispObjTypeName(10), "Picture / Video");
  EXPECT_EQ(DispObjTypeName(74), "G-Force");
  EXPECT_EQ(DispObjTypeName(77), "Timer");
  EXPECT_EQ(DispObjTypeName(50), "#50");
  EXPECT_EQ(DispObjTypeName(73), "#73");
}

TEST(ColourTest, WordsAndColours) {
  QColor transparentRed = ColorToNSColor(0x00FF0000);
  EXPECT_EQ(transparentRed.red(), 255);
  EXPECT_EQ(transparentRed.alpha(), 0);
  EXPECT_EQ(NSColorToColor(QColor(255, 0, 0)), 0xFFFF0000u);
  EXPECT_EQ(NSColorToColor(ColorToNSColor(0x80123456)), 0x80123456u);
  EXPECT_EQ(NSColorToColor(QColor()), 0u);
  EXPECT_EQ(NSColorToColor(QColor::fromHsv(120, 255, 255)), 0xFF00FF00u);
}

TEST(NumberTextTest, TheEngineSyntax) {
  EXPECT_EQ(NSStringToDouble(QString()), 0.0);
  EXPECT_DOUBLE_EQ(NSStringToDouble(" 1,234.5"), 1234.5);
  EXPECT_DOUBLE_EQ(NSStringToDouble("-2e3x"), -2000.0);
  EXPECT_FLOAT_EQ(NSStringToFloat("12.25"), 12.25f);
  EXPECT_EQ(NSStringToDouble(QString(254, QChar('7'))), NSStringToDouble(QString(254, QChar('7'))));
  EXPECT_NE(NSStringToDouble(QString(254, QChar('7'))), 0.0);
  EXPECT_EQ(NSStringToDouble(QString(255, QChar('7'))), 0.0) << "too long for the buffer";
}

TEST(NumberTextTest, IntegerValueReadsLeadingDigitsLikeATextField) {
  EXPECT_EQ(NSStringToInt(QString()), 0);
  EXPECT_EQ(NSStringToInt("  42px"), 42);
  EXPECT_EQ(NSStringToInt("2.5"), 2) << "a typed real stores its whole part";
  EXPECT_EQ(NSStringToInt("-7"), -7);
  EXPECT_EQ(NSStringToInt("+12"), 12);
  EXPECT_EQ(NSStringToInt("1,000"), 1);
  EXPECT_EQ(NSStringToInt("x1"), 0);
  EXPECT_EQ(NSStringToInt("- 3"), 0);
  EXPECT_EQ(NSStringToInt("99999999999"), 2147483647);
  EXPECT_EQ(NSStringToInt("-99999999999"), -2147483647 - 1);
}

TEST(ControlTest, GroupBoxesPassTheStateOnAndHitTestsNeedVisibleEnabledControls) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* box = new QGroupBox("Scale", &window);
  auto* inner = new QVBoxLayout(box);
  auto* field = new QLineEdit(box);
  auto* check = new QCheckBox("Marks", box);
  inner->addWidget(field);
  inner->addWidget(check);
  auto* label = new QLabel("Time", &window);
  layout->addWidget(box);
  layout->addWidget(label);
  window.resize(300, 200);
  window.show();
  UISetControlEnabled(box, false);
  EXPECT_TRUE(box->isEnabled()) << "the box itself is no control";
  EXPECT_FALSE(field->isEnabled());
  EXPECT_FALSE(check->isEnabled());
  EXPECT_FALSE(UIIsControlEnabled(box));
  UISetControlEnabled(box, true);
  EXPECT_TRUE(UIIsControlEnabled(box));

  QPoint centre = label->mapTo(&window, label->rect().center());
  EXPECT_TRUE(UIHitTestControl(label, centre.x(), centre.y()));
  EXPECT_FALSE(UIHitTestControl(label, centre.x(), centre.y() + 500));
  label->setEnabled(false);
  EXPECT_FALSE(UIHitTestControl(label, centre.x(), centre.y()));
  label->setEnabled(true);
  label->hide();
  EXPECT_FALSE(UIHitTestControl(label, centre.x(), centre.y()));

  auto* button = new QPushButton("Colour", &window);
  UISetButtonTitleColor(button, QColor(200, 10, 10));
  EXPECT_EQ(button->palette().color(QPalette::ButtonText), QColor(200, 10, 10));
}
