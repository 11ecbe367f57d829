#pragma once
// A colour well bound to a record's colour, as the panels and the gauge
// designer bind most of theirs: a pick stores the colour (its RGB, the
// element on), ticks the element's switch where it has one and runs the
// owner's write path. Wells with more to do on a pick keep an action of
// their own.
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "ui/dispobj/dispobj_fwd.h"

class QObject;

struct ColorBinding {
  NSColorWellCustom* well;
  uint32_t* color;
  QCheckBox* elementSwitch = nullptr; // none: a colour that is always drawn
};

// The actions run in owner's context, so they end with it.
void BindColors(QObject* owner, std::initializer_list<ColorBinding> bindings, const std::function<void()>& written);
