#include "ui/util/ui_utils.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringDecoder>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/util.h"
#include "model/disp_types.h"

namespace {

constexpr int kScrambleMaxChars = 1023;
constexpr uint32_t kScrambleWrap = 0xFFFFFF;
constexpr int kNumberTextMaxBytes = 255;

bool validCodePoint(uint32_t unit) {
  return unit <= 0x10FFFF && (unit < 0xD800 || unit > 0xDFFF);
}

// The text up to its first terminator; "" when any character is not valid.
QString fromCodePoints(const std::vector<uint32_t>& units) {
  size_t length = 0;
  while (length < units.size() && units[length] != 0) {
    if (!validCodePoint(units[length])) return QString("");
    ++length;
  }
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(units.data()), static_cast<qsizetype>(length));
}

// Only a box that is just a box hands the state to its controls; anything
// derived from it is a control in its own right.
bool isPlainBox(const QWidget* widget) {
  return std::strcmp(widget->metaObject()->className(), "QGroupBox") == 0;
}

std::vector<uint32_t> codePoints(const QString& text) {
  std::vector<uint32_t> units;
  for (char32_t c : text.toUcs4()) units.push_back(static_cast<uint32_t>(c));
  if (units.size() > kScrambleMaxChars) units.resize(kScrambleMaxChars);
  return units;
}

size_t keyLength(const wchar_t* key) { return key != nullptr ? std::wcslen(key) : 0; }

} // namespace

void RunLoopWait(double seconds) {
  auto ms = static_cast<qint64>(seconds * 1000.0);
  if (ms < 0) ms = 0;
  if (QCoreApplication::instance() != nullptr && QThread::currentThread() == QCoreApplication::instance()->thread()) {
    QDeadlineTimer deadline(ms);
    do {
      QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    } while (!deadline.hasExpired());
    return;
  }
  QThread::msleep(static_cast<unsigned long>(ms));
}

QString WStrToNSString(const wchar_t* text) {
  if (text == nullptr || text[0] == 0) return QString("");
  std::vector<uint32_t> units;
  for (const wchar_t* p = text; *p != 0; ++p) units.push_back(static_cast<uint32_t>(*p));
  return fromCodePoints(units);
}

QString W16ToNSString(const char16_t* text) {
  if (text == nullptr) return QString("");
  return WStrToNSString(StrUtf16ToW(text));
}

QString CStrToNSString(const char* text) {
  if (text == nullptr || text[0] == 0) return QString("");
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString result = decoder.decode(QByteArrayView(text, static_cast<qsizetype>(std::strlen(text))));
  return decoder.hasError() ? QString("") : result;
}

std::wstring NSStringToWStr(const QString& text) {
  std::wstring wide;
  for (char32_t c : text.toUcs4()) wide.push_back(static_cast<wchar_t>(c));
  return wide;
}

QString FormatTimeNSString(uint32_t decimals, int32_t style, double seconds) {
  double t = seconds < 0 ? 0 : seconds;
  int h = static_cast<int>(t) / 3600;
  double r = t - 3600.0 * h;
  int m = static_cast<int>(r) / 60;
  r -= 60.0 * m;
  int s = static_cast<int>(r);
  int scale = decimals == 3 ? 1000 : (decimals == 2 ? 100 : 10);
  int f = RoundToInt((r - s) * scale);
  if (f >= scale) {
    f -= scale;
    if (++s == 60) {
      s = 0;
      if (++m == 60) {
        m = 0;
        ++h;
      }
    }
  }
  QString whole;
  if (style <= 0) {
    whole = QString::asprintf("%02d:%02d:%02d", h, m, s);
  } else if (h != 0) {
    whole = QString::asprintf("%d:%02d:%02d", h, m, s);
  } else if (style >= 2 && m == 0) {
    whole = QString::asprintf("%d", s);
  } else {
    whole = QString::asprintf("%d:%02d", m, s);
  }
  if (decimals == 3) return whole + QString::asprintf(".%03d", f);
  if (decimals == 2) return whole + QString::asprintf(".%02d", f);
  return whole + QString::asprintf(".%01d", f);
}

QString FormatNumberNSString(int32_t minDecimals, int32_t maxDecimals, double value) {
  char format[16];
  std::snprintf(format, sizeof format, "%%.0%df", maxDecimals);
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  std::string result(text);
  size_t point = result.find('.');
  if (minDecimals < maxDecimals && point != std::string::npos) {
    size_t keep = point + 1 + static_cast<size_t>(std::max(minDecimals, 1));
    while (result.size() > keep && result.back() == '0') result.pop_back();
  }
  return QString::fromLatin1(result.c_str());
}

QString PasswordScramble(const QString& text, const wchar_t* key) {
  size_t k = keyLength(key);
  if (k == 0) return QString("");
  std::vector<uint32_t> c = codePoints(text);
  for (size_t i = 0; i < c.size(); ++i) {
    uint32_t o = c[i] + static_cast<uint32_t>(key[i % k]) + static_cast<uint32_t>(i);
    if (o > kScrambleWrap) o -= kScrambleWrap;
    c[i] = o;
  }
  return fromCodePoints(c);
}

QString PasswordUnscramble(const QString& text, const wchar_t* key) {
  size_t k = keyLength(key);
  if (k == 0) return QString("");
  std::vector<uint32_t> c = codePoints(text);
  for (size_t i = 0; i < c.size(); ++i) {
    int64_t o = static_cast<int64_t>(c[i]) - static_cast<int64_t>(key[i % k]) - static_cast<int64_t>(i);
    if (o < 0) o += kScrambleWrap;
    c[i] = static_cast<uint32_t>(o);
  }
  return fromCodePoints(c);
}

int32_t RoundFloat(float value) {
  return static_cast<int32_t>(value >= 0.0f ? std::trunc(value + 0.5f) : std::trunc(value - 0.5f));
}

void UISetControlEnabled(QWidget* control, bool enabled) {
  if (control == nullptr) return;
  if (isPlainBox(control)) {
    for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      UISetControlEnabled(child, enabled);
    }
    return;
  }
  // Qt greys a disabled field's text through its palette by itself.
  control->setEnabled(enabled);
}

bool UIIsControlEnabled(QWidget* control) {
  if (control == nullptr || control->isHidden()) return false;
  if (isPlainBox(control)) {
    for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (UIIsControlEnabled(child)) return true;
    }
    return false;
  }
  return control->isEnabled();
}

bool UIHitTestControl(QWidget* control, double x, double y) {
  if (control == nullptr || !UIIsControlEnabled(control)) return false;
  QPoint origin = control->mapTo(control->window(), QPoint(0, 0));
  QRectF frame(origin, control->size());
  return frame.contains(QPointF(x, y));
}

void UISetButtonTitleColor(QAbstractButton* button, const QColor& colour) {
  if (button == nullptr) return;
  QPalette palette = button->palette();
  // Check boxes draw their titles in the window-text colour.
  palette.setColor(QPalette::ButtonText, colour);
  palette.setColor(QPalette::WindowText, colour);
  button->setPalette(palette);
}

QString DispObjTypeName(uint32_t type) {
  const DispTypeInfo* info = DispTypeFind(type);
  if (info == nullptr || info->typeName == nullptr) return QString::asprintf("#%d", static_cast<int>(type));
  return QString::fromUtf8(info->typeName);
}

QColor ColorToNSColor(uint32_t colour) {
  return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF, (colour >> 24) & 0xFF);
}

uint32_t NSColorToColor(const QColor& colour) {
  if (!colour.isValid()) return 0;
  float r = 0, g = 0, b = 0, a = 0;
  colour.toRgb().getRgbF(&r, &g, &b, &a);
  auto byte = [](float component) {
    int32_t v = RoundFloat(component * 255.0f);
    return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  };
  return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

double NSStringToDouble(const QString& text) {
  if (text.isNull()) return 0;
  QByteArray utf8 = text.toUtf8();
  if (utf8.size() >= kNumberTextMaxBytes) return 0;
  return StrToReal(utf8.constData());
}

float NSStringToFloat(const QString& text) { return static_cast<float>(NSStringToDouble(text)); }

int32_t NSStringToInt(const QString& text) {
  qsizetype at = 0;
  while (at < text.size() && text.at(at).isSpace()) ++at;
  bool negative = false;
  if (at < text.size() && (text.at(at) == u'+' || text.at(at) == u'-')) negative = text.at(at++) == u'-';
  int64_t magnitude = 0;
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;
  for (; at < text.size() && text.at(at) >= u'0' && text.at(at) <= u'9'; ++at) {
    magnitude = std::min(magnitude * 10 + (text.at(at).unicode() - u'0'), kLimit);
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return static_cast<int32_t>(std::min<int64_t>(magnitude, INT32_MAX));
}

int32_t ControlIntValue(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(std::trunc(value));
}

