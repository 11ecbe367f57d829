#include "ui/dispobj/record_bindings.h"

#include <QCheckBox>

#include "ui/controls/NSColorWellCustom.h"
#include "ui/dispobj/DispObjPanel.h"

void BindColors(QObject* owner, std::initializer_list<ColorBinding> bindings, const std::function<void()>& written) {
  for (const ColorBinding& b : bindings)
    QObject::connect(b.well, &NSColorWellCustom::changed, owner, [b, written]() {
      *b.color = DispObjPanel::wellColor(b.well);
      if (b.elementSwitch != nullptr) b.elementSwitch->setChecked(true);
      written();
    });
}

OptionChecks::OptionChecks(uint8_t& options, std::initializer_list<Check> checks, std::function<void()> written,
                           QObject* parent)
    : QObject(parent), options_(options), checks_(checks) {
  for (const auto& [check, bit] : checks_)
    connect(check, &QCheckBox::clicked, this, [this, check, bit, written]() {
      SetOptionBits(options_, bit, check->isChecked());
      written();
    });
}

void OptionChecks::show() const {
  for (const auto& [check, bit] : checks_) check->setChecked((options_ & bit) != 0);
}
