#pragma once
// What cameras store beside the picture: GPS text streams (NMEA sentences
// in a subtitle or data track) and the place of recording (the QuickTime
// location atom, ISO 6709 text such as "+48.8577+002.2950/").
#include <cstdint>
#include <string>

struct CameraMeta {
  bool HasGpsText;
  int GpsStream; // stream index of the GPS text, -1 when none
  bool HasLocation;
  double Latitude, Longitude;
};

// Looks at the file's metadata and the first packets of its text and data
// streams. false when FFmpeg cannot open the file.
bool CameraMetaRead(const std::string& pathUtf8, CameraMeta* meta);
// Every NMEA sentence of the GPS text stream, one per line ("\r\n").
// 0, -80 cannot open, -140 no GPS text.
int CameraMetaExtractNmea(const std::string& pathUtf8, std::string* nmea);
// Parses ISO 6709 text ("+DD.DDDD+DDD.DDDD..."); false when malformed or
// out of range.
bool ParseIso6709(const char* text, double* latitude, double* longitude);
// Takes the NMEA sentences ("$..*hh") out of a block of text and appends
// them to out, one per line; the number found.
int CollectNmeaSentences(const uint8_t* data, size_t size, std::string* out);
