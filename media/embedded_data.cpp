#include "media/embedded_data.h"

#include "engine/base/error.h"
#include "engine/model/input_records.h"
#include "media/media_slot.h"

void EmbeddedDataScan(uint32_t) {}
void GeoLocationScan(uint32_t) {}

bool InputHandlerHasEmbeddedData(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  return slot && slot->HasEmbeddedData;
}

uint32_t InputHandlerExtractEmbeddedData(uint32_t) {
  ErrorSet(kErrNoData, "InputHandlerExtractEmbeddedData");
  return kNoInput;
}

int InputHandlerGetGeoLocation(uint32_t input, double* latitude, double* longitude) {
  constexpr const char* kName = "InputHandlerGetGeoLocation";
  if (latitude) *latitude = 0.0;
  if (longitude) *longitude = 0.0;
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || !latitude || !longitude) return ErrorSet(kErrBadArg, kName);
  if (!slot->HasGeoLocation) return ErrorSet(kErrNoData, kName);
  *latitude = slot->Latitude;
  *longitude = slot->Longitude;
  return ErrorSet(kOk, kName);
}
