#pragma once
// Row icons of the inputs and display-objects lists, drawn in code so that
// every row is marked without picture files beside the program. 24 x 24,
// transparent background.
#include <QIcon>
#include <QImage>
#include <cstdint>

// The icon of an input type (1 video ... 8 time filler); a null image for
// a type without one.
QImage InputTypeIcon(uint32_t type);
// The icon of a display-object type; a null image for a type without one.
QImage DispObjTypeIcon(uint32_t type);
// The icon as a list row shows it: 36 x 24, the picture at the left, or 12
// pixels further right for a member of a join or group. A null image gives
// an empty row icon.
QIcon ListRowIcon(const QImage& icon, bool indent);
// Width of a row icon including the indent room.
constexpr int kListIconWidth = 36;
constexpr int kListIconIndent = 12;
