#pragma once
// The project header behind project.h, for the project reader and writer.
// Callers hold the access lock.
#include <cstdint>

#include "model/input_records.h"

struct ProjectSettings {
  float Length = 0;       // explicit length, 0 = automatic
  uint32_t SpeedUnit = 1; // SpeedUnit code
  char16_t UserText[kPathLength] = {};
  uint32_t WizMask = 0; // 0 = no wizard options stored
  float WizSpeedMax = 0, WizTachMax = 0, WizTachRed = 0;
  uint8_t LengthMatch = 255; // kept at 255: no length-match input
  uint8_t PrimaryInput = 255;
  uint8_t DataInput = 255;
};

ProjectSettings& ProjectSettingsRaw();
// Resets the header to a new project's (speed unit = the default unit).
void ProjectSettingsReset();
// Engine start: the default unit back to MPH, then a new project's header.
void ProjectSettingsInit();
