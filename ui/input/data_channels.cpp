#include "ui/input/data_channels.h"

#include <array>

#include "model/input_records.h"

namespace data_channels {

void StoreChannelSelection(const QString& text, char16_t* field) {
  if (text == kAutomatic || text == kManual) {
    field[0] = 0;
    return;
  }
  qsizetype length = std::min<qsizetype>(text.size(), kNameLength - 1);
  // A high surrogate left alone at the cut would be half a character.
  if (length > 0 && length < text.size() && text.at(length - 1).isHighSurrogate()) --length;
  for (qsizetype i = 0; i < length; ++i) field[i] = text.at(i).unicode();
  field[length] = 0;
}

const QStringList& CustomOpNames() {
  static const QStringList names = {"Add", "Subtract", "Multiply", "Divide", "C --> F", "F --> C"};
  return names;
}

QString CustomOpName(uint8_t code) {
  return code < CustomOpNames().size() ? CustomOpNames().at(code) : CustomOpNames().front();
}

uint8_t CustomOpFromName(const QString& name) {
  const qsizetype code = CustomOpNames().indexOf(name);
  return code > 0 ? static_cast<uint8_t>(code) : 0;
}

const QStringList& SpeedUnitNames() {
  static const QStringList names = {"MPH", "km/h", "m/s", "Knots"};
  return names;
}

double SpeedUnitValue(const QString& unit) {
  static const std::array<double, 4> values = {1.0, 1.609344, 0.44704, 0.868976242};
  const qsizetype row = SpeedUnitNames().indexOf(unit);
  return row >= 0 ? values.at(static_cast<size_t>(row)) : 1.0;
}

QString SpeedConversionText(const QString& from, const QString& to) {
  return QString::asprintf("%.05f", SpeedUnitValue(to) / SpeedUnitValue(from));
}

} // namespace data_channels
