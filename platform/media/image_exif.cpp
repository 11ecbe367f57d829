// Exif orientation and GPS position of camera pictures, through libexif.
#include <climits>

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>
#include <libexif/exif-utils.h>

#include "platform/media/still_image.h"

namespace {

// Degrees, minutes, seconds as three rationals; false when malformed.
bool ReadDegrees(ExifData* data, ExifEntry* value, ExifEntry* ref, char negative, double* out) {
  if (!value || value->format != EXIF_FORMAT_RATIONAL || value->components < 3 || !value->data) return false;
  if (value->size < 24) return false;
  ExifByteOrder order = exif_data_get_byte_order(data);
  double parts[3];
  for (int i = 0; i < 3; ++i) {
    ExifRational r = exif_get_rational(value->data + 8 * i, order);
    if (r.denominator == 0) return false;
    parts[i] = static_cast<double>(r.numerator) / r.denominator;
  }
  double degrees = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
  if (ref && ref->data && ref->size > 0 && (ref->data[0] == negative)) degrees = -degrees;
  *out = degrees;
  return true;
}

void Extract(ExifData* data, ImageExifInfo* info) {
  info->Orientation = 1;
  info->HasGps = false;
  info->Latitude = info->Longitude = 0.0;
  ExifEntry* o = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (o && o->format == EXIF_FORMAT_SHORT && o->size >= 2 && o->data) {
    int v = exif_get_short(o->data, exif_data_get_byte_order(data));
    if (v >= 1 && v <= 8) info->Orientation = v;
  }
  ExifContent* gps = data->ifd[EXIF_IFD_GPS];
  if (!gps) return;
  auto entry = [gps](int tag) { return exif_content_get_entry(gps, static_cast<ExifTag>(tag)); };
  double lat = 0, lon = 0;
  if (ReadDegrees(data, entry(EXIF_TAG_GPS_LATITUDE), entry(EXIF_TAG_GPS_LATITUDE_REF), 'S', &lat) &&
      ReadDegrees(data, entry(EXIF_TAG_GPS_LONGITUDE), entry(EXIF_TAG_GPS_LONGITUDE_REF), 'W', &lon) &&
      lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0) {
    info->HasGps = true;
    info->Latitude = lat;
    info->Longitude = lon;
  }
}

} // namespace

bool ImageExifRead(const uint8_t* bytes, uint64_t size, ImageExifInfo* info) {
  if (!bytes || !info || size == 0 || size > UINT_MAX) return false;
  ExifData* data = exif_data_new_from_data(bytes, static_cast<unsigned int>(size));
  if (!data) return false;
  bool found = data->ifd[EXIF_IFD_0] && data->ifd[EXIF_IFD_0]->count > 0;
  if (found) Extract(data, info);
  exif_data_unref(data);
  return found;
}

bool ImageExifReadFile(const char* pathUtf8, ImageExifInfo* info) {
  if (!pathUtf8 || !info) return false;
  ExifLoader* loader = exif_loader_new();
  if (!loader) return false;
  exif_loader_write_file(loader, pathUtf8);
  ExifData* data = exif_loader_get_data(loader);
  exif_loader_unref(loader);
  if (!data) return false;
  bool found = data->ifd[EXIF_IFD_0] && data->ifd[EXIF_IFD_0]->count > 0;
  if (found) Extract(data, info);
  exif_data_unref(data);
  return found;
}
