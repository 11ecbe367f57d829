#pragma once
// What the scripted-object panel and its script editor share: loading an
// object's record (refusing an object that has none) and the rules by which
// their controls store into it.
#include <QByteArray>
#include <QString>
#include <cstdint>

#include "model/disp_records.h"

// Copies the object's common record and its whole EnhParam. A missing
// object shows the engine's error (none for index 0xFFFFFFFF). An object
// that is not scripted, or whose stored block is not a whole record (a
// scripted object made here has none), is refused with a message rather
// than read past its block. False in both cases.
bool EnhParamLoad(uint32_t index, EnhParam& param, DispStruct& common);

// The title of colour row i: its name and a colon, or "Color A:" to "Color H:".
QString EnhColorTitle(const EnhParam& param, int i);

// The stored script as text; bytes that are not UTF-8 show as replacement
// characters.
QString EnhScriptText(const char (&script)[kScriptBytes]);
// Stores UTF-8 text into a script field: at most kScriptBytes - 1 bytes,
// never the first part of a character that does not fit whole, the rest of
// the field zero. True when the text had to be cut.
bool EnhStoreScript(char (&script)[kScriptBytes], const QByteArray& utf8);

// Whether two trigger values differ once each is rounded to millionths.
bool EnhTriggerDiffers(double a, double b);
