// Camera files: the GPS text track of a video extracted to an NMEA input,
// and the place of recording of videos and pictures.
#include <gtest/gtest.h>

#include <fstream>

#include "base/text.h"
#include "model/input_table.h"
#include "media/embedded_data.h"
#include "media/input_handler.h"
#include "platform/media/camera_meta.h"
#include "support/media_fixtures.h"

namespace {

const char* const kSentences[] = {
    "$GPRMC,120000.00,A,4851.4620,N,00217.7000,E,10.5,45.0,071226,,,A*6C",
    "$GPGGA,120000.00,4851.4620,N,00217.7000,E,1,08,0.9,35.0,M,47.0,M,,*5A",
    "$GPRMC,120001.00,A,4851.4650,N,00217.7040,E,10.7,45.2,071226,,,A*63",
};

std::string MakeGpsVideo() {
  std::string srt = MediaTestPath("gps.srt");
  {
    std::ofstream f(srt);
    for (int i = 0; i < 3; ++i)
      f << i + 1 << "\n00:00:0" << i << ",000 --> 00:00:0" << i << ",900\n" << kSentences[i] << "\n\n";
  }
  std::string video = MediaTestPath("base.mp4");
  EXPECT_TRUE(MakeIndexVideo(video, 30, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  std::string out = MediaTestPath("camera.mp4");
  EXPECT_TRUE(RunFfmpeg("-i " + video + " -i " + srt + " -map 0 -map 1 -c:v copy -c:s mov_text "
                        "-metadata location=\"+48.8577+002.2950/\" " + out));
  return out;
}

class EmbeddedData : public ::testing::Test {
protected:
  void SetUp() override {
    MediaTestDir();
    ASSERT_EQ(MediaHandlerInit(), 0);
  }
  void TearDown() override { MediaHandlerEnd(); }
};

TEST_F(EmbeddedData, GpsTextIsFoundAndExtractedAsANewInput) {
  uint32_t in = MediaTestAddInput(MakeGpsVideo());
  ASSERT_EQ(InputHandlerOpen(in), 0);
  ASSERT_TRUE(InputHandlerHasEmbeddedData(in));
  double lat = 0, lon = 0;
  ASSERT_EQ(InputHandlerGetGeoLocation(in, &lat, &lon), 0);
  EXPECT_NEAR(lat, 48.8577, 1e-9);
  EXPECT_NEAR(lon, 2.2950, 1e-9);
  std::string nmea;
  ASSERT_EQ(CameraMetaExtractNmea(WideToUtf8(StrUtf16ToW(InputTableMain(in)->FilePath)), &nmea), 0);
  std::string expected;
  for (const char* s : kSentences) expected += std::string(s) + "\r\n";
  EXPECT_EQ(nmea, expected);
  // The new input is added through the model (it may be refused when no
  // data-log reader takes the file, but the file is written either way).
  InputHandlerExtractEmbeddedData(in);
  std::vector<uint8_t> written = ReadBytes(MediaTestPath("camera-GPS.nmea"));
  EXPECT_EQ(std::string(written.begin(), written.end()), expected);
}

TEST_F(EmbeddedData, PlainVideoHasNone) {
  std::string video = MediaTestPath("plain.mp4");
  ASSERT_TRUE(MakeIndexVideo(video, 10, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  uint32_t in = MediaTestAddInput(video);
  ASSERT_EQ(InputHandlerOpen(in), 0);
  EXPECT_FALSE(InputHandlerHasEmbeddedData(in));
  EXPECT_EQ(InputHandlerExtractEmbeddedData(in), 255u);
  double lat = 1, lon = 1;
  EXPECT_LT(InputHandlerGetGeoLocation(in, &lat, &lon), 0);
  EXPECT_EQ(lat, 0.0);
  EXPECT_EQ(lon, 0.0);
  EXPECT_LT(InputHandlerGetGeoLocation(300, &lat, &lon), 0);
}

TEST(CameraMeta, Iso6709AndSentences) {
  double lat = 0, lon = 0;
  EXPECT_TRUE(ParseIso6709("+48.8577+002.2950/", &lat, &lon));
  EXPECT_NEAR(lat, 48.8577, 1e-12);
  EXPECT_TRUE(ParseIso6709("-33.8688+151.2093+012.000/", &lat, &lon));
  EXPECT_NEAR(lon, 151.2093, 1e-12);
  EXPECT_FALSE(ParseIso6709("48.8577+002.2950/", &lat, &lon));
  EXPECT_FALSE(ParseIso6709("+98.0+002.0/", &lat, &lon));
  EXPECT_FALSE(ParseIso6709("+12.0", &lat, &lon));
  EXPECT_FALSE(ParseIso6709(nullptr, &lat, &lon));
  std::string text = std::string("junk $GPRMC,1,2*1F more $bad,1*ZZ ") + kSentences[1] + "$GP";
  std::string out;
  EXPECT_EQ(CollectNmeaSentences(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &out), 2);
  EXPECT_EQ(out, std::string("$GPRMC,1,2*1F\r\n") + kSentences[1] + "\r\n");
}

} // namespace
