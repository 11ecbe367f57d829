#include "media/embedded_data.h"

#include <string>

#include "base/error.h"
#include "base/file_io.h"
#include "base/log.h"
#include "base/text.h"
#include "model/input_records.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "media/file_util.h"
#include "media/media_slot.h"
#include "platform/media/camera_meta.h"
#include "platform/media/still_image.h"
#include "platform/system/folders.h"

namespace {

std::string InputPath(uint32_t input) {
  const MainStruct* main = InputTableMain(input);
  return main ? WideToUtf8(StrUtf16ToW(main->FilePath)) : std::string();
}

std::string FileName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Beside the video when that folder takes it, else in the documents folder.
bool WriteNmeaFile(const std::string& video, const std::string& text, std::string* written) {
  std::string beside = video.substr(0, video.find_last_of('.') == std::string::npos ? video.size()
                                                                                     : video.find_last_of('.')) +
                       "-GPS.nmea";
  if (FileWriteAtomic(Utf8ToWide(beside), text.data(), text.size()) == kOk) {
    *written = beside;
    return true;
  }
  std::string docs = WideToUtf8(GetDocumentsFolder());
  if (docs.empty()) return false;
  std::string other = docs + "/" + FileName(video) + "-GPS.nmea";
  if (FileWriteAtomic(Utf8ToWide(other), text.data(), text.size()) != kOk) return false;
  *written = other;
  return true;
}

} // namespace

void EmbeddedDataScan(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot) return;
  CameraMeta meta{};
  if (!CameraMetaRead(InputPath(input), &meta)) return;
  slot->HasEmbeddedData = meta.HasGpsText ? 1 : 0;
  if (meta.HasLocation) {
    slot->HasGeoLocation = 1;
    slot->Latitude = meta.Latitude;
    slot->Longitude = meta.Longitude;
  }
}

void GeoLocationScan(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || slot->HasGeoLocation || slot->VideoHandler != kHandlerImage) return;
  ImageExifInfo exif{};
  if (ImageExifReadFile(InputPath(input).c_str(), &exif) && exif.HasGps) {
    slot->HasGeoLocation = 1;
    slot->Latitude = exif.Latitude;
    slot->Longitude = exif.Longitude;
  }
}

bool InputHandlerHasEmbeddedData(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  return slot && slot->HasEmbeddedData;
}

uint32_t InputHandlerExtractEmbeddedData(uint32_t input) {
  constexpr const char* kName = "InputHandlerExtractEmbeddedData";
  if (!InputHandlerHasEmbeddedData(input)) return ErrorSet(kErrNoData, kName), kNoInput;
  std::string video = InputPath(input);
  std::string nmea;
  int rc = CameraMetaExtractNmea(video, &nmea);
  if (rc != kOk) return ErrorSet(rc, kName), kNoInput;
  std::string written;
  if (!WriteNmeaFile(video, nmea, &written)) return ErrorSet(kErrWrite, kName), kNoInput;
  LogPrintf(L"Extracted embedded GPS data to '%S'", written.c_str());
  uint32_t added = InputAdd(WideToUtf16(Utf8ToWide(written)).c_str());
  if (added == kNoInput) return ErrorSet(ErrorGetLast() < 0 ? ErrorGetLast() : kErrUnsupported, kName), kNoInput;
  ErrorSet(kOk, kName);
  return added;
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
