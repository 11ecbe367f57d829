#include "ui/dispobj/color_binding.h"

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
