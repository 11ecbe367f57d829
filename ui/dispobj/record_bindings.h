#pragma once
// Controls bound to a field of the record a panel or editor holds, as
// most of theirs are: a user's edit stores into the field, switches the
// element on where that is the rule, and runs the owner's write path.
// Controls with more to do on an edit keep an action of their own.
#include <QObject>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "ui/dispobj/dispobj_fwd.h"

// Sets or clears bits of an option byte.
inline void SetOptionBits(uint8_t& field, uint8_t bits, bool on) {
  field = static_cast<uint8_t>(on ? field | bits : field & ~bits);
}

// A colour well and the record colour it edits: a pick stores its RGB (the
// element on) and ticks the element's switch.
struct ColorBinding {
  NSColorWellCustom* well;
  uint32_t* color;
  QCheckBox* elementSwitch = nullptr; // none: a colour that is always drawn
};

// Colour wells bound to their record colours: a pick stores and runs
// written; show() fills the wells and switches from the record; store()
// switches each colour on or off as its switch stands.
class ColorElements : public QObject {
public:
  ColorElements(QObject* owner, std::initializer_list<ColorBinding> bindings, const std::function<void()>& written);
  void show() const;
  void store() const;

private:
  std::vector<ColorBinding> bindings_;
};

// Check boxes that each stand for one bit of a record's option byte: a
// click sets or clears the bit; show() sets the checks from the byte and
// runs no action. Sub-options of a group (a check and its bit) switch the
// group on as well.
class OptionChecks : public QObject {
public:
  using Check = std::pair<QCheckBox*, uint8_t>;
  OptionChecks(uint8_t& options, std::initializer_list<Check> checks, std::function<void()> written,
               QObject* parent, Check group = {nullptr, 0});
  void show() const;

private:
  uint8_t& options_;
  std::vector<Check> checks_;
};
