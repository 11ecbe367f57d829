#pragma once
// Project settings: length, speed unit, user text and the wizard's options.
#include <cstdint>

enum SpeedUnit : uint32_t { kSpeedMph = 1, kSpeedKmh = 2, kSpeedKnots = 3, kSpeedMs = 4 };

// Flag 0: the explicit length when above 0.01 s, else the automatic one;
// non-zero: the explicit length as stored (0 = automatic).
float ProjectGetLength(int32_t flag);
void ProjectSetLength(float seconds);
uint32_t ProjectGetLengthMatch();        // always 255
void ProjectSetLengthMatch(uint32_t input);
uint32_t ProjectGetPrimaryInput();       // always 255
void ProjectSetPrimaryInput(uint32_t input);
uint32_t ProjectGetDataInput();          // always 255
void ProjectSetDataInput(uint32_t input);
uint32_t ProjectGetSpeedUnit();
int ProjectSetSpeedUnit(uint32_t unit);
void ProjectSetDefaultSpeedUnit(int32_t unit);
uint32_t ProjectGetDefaultSpeedUnit();
// A copy in the calling thread's buffer of 1024 units, valid until its next call.
const char16_t* ProjectGetUserText();
void ProjectSetUserText(const char16_t* text);
void ProjectSetMark(uint32_t which); // preview-mark hook, does nothing

// Option bits of the data-template wizard (what a data input supports:
// ProjectWizScanInput, answered by the data-log model).
int ProjectWizGetOpts(uint32_t* mask, float* speedMax, float* tachMax, float* tachRed);
int ProjectWizSetOpts(uint32_t mask, float speedMax, float tachMax, float tachRed);
