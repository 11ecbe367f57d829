// The project header and the settings routines that need no media.
#include "model/project_settings.h"

#include <cstring>

#include "base/access_lock.h"
#include "base/error.h"
#include "model/model_text.h"
#include "model/project.h"

namespace {

uint32_t g_defaultSpeedUnit = kSpeedMph;
// Per thread: the render thread and the interface may both ask.
thread_local char16_t g_userTextBuffer[kPathLength];

// The length-match, primary and data inputs stay automatic (255) in every
// project: the getters answer that and the setters put it back (the
// length-match one also clears the length).
uint32_t AutomaticInput(const char* routine) {
  ReadAccess access(routine);
  ErrorSet(0, routine);
  return 255;
}

void KeepInputAutomatic(uint8_t ProjectSettings::*input, const char* routine) {
  ChangeAccess access(routine);
  ProjectSettingsRaw().*input = 255;
  ErrorSet(0, routine);
}

} // namespace

ProjectSettings& ProjectSettingsRaw() {
  static ProjectSettings settings;
  return settings;
}

void ProjectSettingsReset() {
  ProjectSettingsRaw() = ProjectSettings{};
  ProjectSettingsRaw().SpeedUnit = g_defaultSpeedUnit;
}

void ProjectSetLength(float seconds) {
  ChangeAccess access("ProjectSetLength");
  ProjectSettings& settings = ProjectSettingsRaw();
  settings.Length = seconds > 0 ? seconds : 0; // NaN and negatives: automatic
  if (settings.Length > 0.01f) settings.LengthMatch = 255;
  ErrorSet(0, "ProjectSetLength");
}

void ProjectSettingsInit() {
  g_defaultSpeedUnit = kSpeedMph;
  ProjectSettingsReset();
}

uint32_t ProjectGetLengthMatch() { return AutomaticInput("ProjectGetLengthMatch"); }

void ProjectSetLengthMatch(uint32_t) {
  ChangeAccess access("ProjectSetLengthMatch");
  ProjectSettingsRaw().LengthMatch = 255;
  ProjectSettingsRaw().Length = 0;
  ErrorSet(0, "ProjectSetLengthMatch");
}

uint32_t ProjectGetPrimaryInput() { return AutomaticInput("ProjectGetPrimaryInput"); }

void ProjectSetPrimaryInput(uint32_t) {
  KeepInputAutomatic(&ProjectSettings::PrimaryInput, "ProjectSetPrimaryInput");
}

uint32_t ProjectGetDataInput() { return AutomaticInput("ProjectGetDataInput"); }

void ProjectSetDataInput(uint32_t) { KeepInputAutomatic(&ProjectSettings::DataInput, "ProjectSetDataInput"); }

uint32_t ProjectGetSpeedUnit() {
  ReadAccess access("ProjectGetSpeedUnit");
  ErrorSet(0, "ProjectGetSpeedUnit");
  return ProjectSettingsRaw().SpeedUnit;
}

void ProjectSetDefaultSpeedUnit(int32_t unit) {
  ChangeAccess access("ProjectSetDefaultSpeedUnit");
  const bool valid = unit >= int32_t{kSpeedMph} && unit <= int32_t{kSpeedMs};
  if (valid) g_defaultSpeedUnit = static_cast<uint32_t>(unit);
  ErrorSet(valid ? 0 : -21, "ProjectSetDefaultSpeedUnit");
}

uint32_t ProjectGetDefaultSpeedUnit() {
  ReadAccess access("ProjectGetDefaultSpeedUnit");
  ErrorSet(0, "ProjectGetDefaultSpeedUnit");
  return g_defaultSpeedUnit;
}

const char16_t* ProjectGetUserText() {
  ReadAccess access("ProjectGetUserText");
  std::memcpy(g_userTextBuffer, ProjectSettingsRaw().UserText, sizeof(g_userTextBuffer));
  g_userTextBuffer[kPathLength - 1] = 0;
  ErrorSet(0, "ProjectGetUserText");
  return g_userTextBuffer;
}

void ProjectSetUserText(const char16_t* text) {
  ChangeAccess access("ProjectSetUserText");
  FieldCopy(ProjectSettingsRaw().UserText, kPathLength, text);
  ErrorSet(0, "ProjectSetUserText");
}

void ProjectSetMark(uint32_t) { ErrorSet(0, "ProjectSetMark"); }

int ProjectWizGetOpts(uint32_t* mask, float* speedMax, float* tachMax, float* tachRed) {
  ReadAccess access("ProjectWizGetOpts");
  const ProjectSettings& settings = ProjectSettingsRaw();
  if (settings.WizMask == 0) return ErrorSet(-1, "ProjectWizGetOpts");
  if (mask != nullptr) *mask = settings.WizMask;
  if (speedMax != nullptr) *speedMax = settings.WizSpeedMax;
  if (tachMax != nullptr) *tachMax = settings.WizTachMax;
  if (tachRed != nullptr) *tachRed = settings.WizTachRed;
  return ErrorSet(0, "ProjectWizGetOpts");
}
