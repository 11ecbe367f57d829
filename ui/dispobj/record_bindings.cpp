#include "ui/dispobj/record_bindings.h"

#include <QCheckBox>

#include "ui/controls/NSColorWellCustom.h"
#include "ui/dispobj/DispObjPanel.h"

ColorElements::ColorElements(QObject* owner, std::initializer_list<ColorBinding> bindings,
                             const std::function<void()>& written)
    : QObject(owner), bindings_(bindings) {
  for (const ColorBinding& b : bindings_)
    connect(b.well, &NSColorWellCustom::changed, this, [b, written]() {
      *b.color = DispObjPanel::wellColor(b.well);
      if (b.elementSwitch != nullptr) b.elementSwitch->setChecked(true);
      written();
    });
}

void ColorElements::show() const {
  for (const ColorBinding& b : bindings_) {
    if (b.elementSwitch != nullptr) DispObjPanel::showElement(b.elementSwitch, b.well, *b.color);
    else DispObjPanel::showColor(b.well, *b.color);
  }
}

void ColorElements::store() const {
  for (const ColorBinding& b : bindings_)
    if (b.elementSwitch != nullptr) *b.color = ColorSwitched(*b.color, b.elementSwitch->isChecked());
}

OptionChecks::OptionChecks(uint8_t& options, std::initializer_list<Check> checks, std::function<void()> written,
                           QObject* parent, Check group)
    : QObject(parent), options_(options), checks_(checks) {
  for (const auto& [check, bit] : checks_)
    connect(check, &QCheckBox::clicked, this, [this, check, bit, group, written]() {
      SetOptionBits(options_, bit, check->isChecked());
      if (group.first != nullptr) {
        group.first->setChecked(true);
        SetOptionBits(options_, group.second, true);
      }
      written();
    });
}

void OptionChecks::show() const {
  for (const auto& [check, bit] : checks_) check->setChecked((options_ & bit) != 0);
}
