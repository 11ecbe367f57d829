#pragma once
// Moving text, numbers, times and colours between the engine's forms (32-bit
// wide text, UTF-16 record text, UTF-8, seconds, 0xAARRGGBB words) and Qt,
// and the small control helpers every window uses. Main thread only, except
// RunLoopWait.
#include <QColor>
#include <QString>
#include <cstdint>

class QWidget;
class QAbstractButton;
class QHBoxLayout;
class QPushButton;

// Keeps the machine from idling or sleeping through a long job (render,
// upload, transfer) with the reason given. Null when the desktop's session
// service cannot be had (logged once); the job goes on regardless. Ending
// takes null too.
struct AppActivity;
using AppActivityToken = AppActivity*;
AppActivityToken AppActivityBegin(const QString& reason);
void AppActivityEnd(AppActivityToken token);

// Serves the event loop until the time has passed (main thread); sleeps on
// any other thread.
void RunLoopWait(double seconds);

// Null, empty or malformed text gives "".
QString WStrToNSString(const wchar_t* text);
QString W16ToNSString(const char16_t* text);
QString CStrToNSString(const char* text);
// Engine wide text of a string (for paths and messages handed to the engine).
std::wstring NSStringToWStr(const QString& text);

// Decimals code 3, 2 or other (one decimal); style 0 "hh:mm:ss", 1 "h:mm"
// or "h:mm:ss", 2 also bare seconds under a minute. Negative counts as 0.
QString FormatTimeNSString(uint32_t decimals, int32_t style, double seconds);
// Fixed with max decimals; trailing zeros trimmed while more than
// max(min, 1) decimals remain (only when min < max).
QString FormatNumberNSString(int32_t minDecimals, int32_t maxDecimals, double value);

// Reversible scramble of stored credentials, keyed by the settings key;
// at most 1023 characters. The key must not be empty.
QString PasswordScramble(const QString& text, const wchar_t* key);
QString PasswordUnscramble(const QString& text, const wchar_t* key);

// Half away from zero, in single precision.
int32_t RoundFloat(float value);
// A stepper's or slider's integer value: truncated toward zero and held to
// 32 bits (NaN gives 0).
int32_t ControlIntValue(double value);

// Enables or disables a control; a plain group box passes the state on to
// the controls inside it.
void UISetControlEnabled(QWidget* control, bool enabled);
bool UIIsControlEnabled(QWidget* control);
// Whether a point in the control's window coordinates falls on the control,
// counting only visible, enabled controls.
bool UIHitTestControl(QWidget* control, double x, double y);
void UISetButtonTitleColor(QAbstractButton* button, const QColor& colour);

QString DispObjTypeName(uint32_t type);

// 0xAARRGGBB word to colour (alpha byte used as it is) and back (each
// component rounded half away from zero and clamped; invalid gives 0).
QColor ColorToNSColor(uint32_t colour);
uint32_t NSColorToColor(const QColor& colour);

// The engine's number reader on the UTF-8 form; a null text or one of more
// than 254 bytes gives 0.
double NSStringToDouble(const QString& text);
float NSStringToFloat(const QString& text);
// A text field's integer value: leading white space, one sign, then decimal
// digits up to the first other character ("2.5" gives 2, "1,000" gives 1);
// no digits give 0, and values beyond 32 bits stop at INT32_MIN or INT32_MAX.
int32_t NSStringToInt(const QString& text);
