#pragma once
// Camera files: embedded GPS text of videos and the place a picture or
// video was taken.
#include <cstdint>

// Called by the open: notes in the slot whether the video carries GPS text.
void EmbeddedDataScan(uint32_t input);
// Called by the open: the Exif GPS position of a picture or the location
// atom of a video, kept in the slot.
void GeoLocationScan(uint32_t input);

bool InputHandlerHasEmbeddedData(uint32_t input);
// Writes the embedded GPS text to an NMEA file beside a temporary name and
// adds it as a new input; its index, or 255 with the error recorded.
uint32_t InputHandlerExtractEmbeddedData(uint32_t input);
// 0 with the position found at open, a negative code (and zeros) when the
// file has none.
int InputHandlerGetGeoLocation(uint32_t input, double* latitude, double* longitude);
