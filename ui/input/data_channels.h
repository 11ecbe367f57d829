#pragma once
// The rules of the data group's choosers, apart from any widget: how a
// channel choice becomes a stored name, the custom operations by label,
// and the speed calculator's units.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace data_channels {

inline const QString kAutomatic = QStringLiteral("(Automatic)");
inline const QString kManual = QStringLiteral("(Manual)");
inline const QString kCalculate = QStringLiteral("(Calculate)");
inline const QString kCalculateMph = QStringLiteral("(Calculate MPH)");
inline const QString kNone = QStringLiteral("(None)");

// Stores a chooser's text into a 64-unit name field: "(Automatic)" and
// "(Manual)" leave it empty (automatic recognition), anything else is kept
// verbatim, cut to 63 units (never between the halves of a surrogate pair)
// and terminated.
void StoreChannelSelection(const QString& text, char16_t* field);

// The operation labels in code order: "Add" .. "F --> C".
const QStringList& CustomOpNames();
// Codes outside 1..5 read as "Add"; unknown labels as 0.
QString CustomOpName(uint8_t code);
uint8_t CustomOpFromName(const QString& name);

// "MPH", "km/h", "m/s", "Knots" and their speed per mile per hour; other
// text counts as MPH.
const QStringList& SpeedUnitNames();
double SpeedUnitValue(const QString& unit);
// The factor that turns a speed in `from` units into `to` units, "%.05f".
QString SpeedConversionText(const QString& from, const QString& to);

} // namespace data_channels
