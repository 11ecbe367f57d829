#include "media/logs/delimited_profiles.h"

#include "media/datalog/datalog_record.h"
#include "media/logs/text_scan.h"

namespace {

const DelimitedProfile kProfiles[] = {
    {kFormatDelimited + 1, "MoTeC CSV", "MoTeC CSV File"},
    {kFormatDelimited + 2, "AiM CSV", "AiM CSV File"},
    {kFormatDelimited + 3, "RaceChrono CSV", "RaceChrono"},
    {kFormatDelimited + 4, "Harry's LapTimer CSV", "Harry's LapTimer"},
    {kFormatDelimited + 5, "TrackAddict CSV", "Predicted Lap Time"},
    {kFormatDelimited + 6, "Torque OBD CSV", "Device Time"},
    {kFormatDelimited + 7, "Dragy/phone GPS CSV", "Accuracy (m)"},
    {kFormatDelimited + 8, "Race Technology CSV", "Race Technology"},
};

const DelimitedProfile kGeneric = {kFormatDelimited, "Delimited text", ""};

} // namespace

const DelimitedProfile& DelimitedProfileFind(std::string_view head) {
  for (const DelimitedProfile& profile : kProfiles)
    if (ContainsNoCase(head, profile.signature))
      return profile;
  return kGeneric;
}
