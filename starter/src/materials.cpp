// The stand-in material of the starter set: logs, pictures and videos.
#include <chrono>
#include <thread>

#include "base/text.h"
#include "build_kit.h"
#include "io/files/project_files.h"
#include "model/inputs.h"
#include "model/project.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "starter_set.h"

namespace {

constexpr int kPictureW = 1280, kPictureH = 720;
constexpr int kVideoW = 640, kVideoH = 360;
constexpr float kVideoSeconds = 4;

std::u16string Path16(const std::string& path) { return WideToUtf16(Utf8ToWide(path)); }

// A short video of the picture, written by the program's own output render.
std::string RenderVideo(const std::string& picture, const std::string& video) {
  ProjectNew();
  const uint32_t input = InputAdd(Path16(picture).c_str());
  if (input == kNoInput) return "cannot add " + picture;
  Place(kDispVideo, input, {0, 0, 100, 100}, u"Camera");
  if (OutputHandlerCreate(Utf8ToWide(video).c_str(), 8, kVideoW, kVideoH, 3, 44100, 2500, 96, 0, 25.0f, 0.0f,
                          0.0f, kVideoSeconds) != 0)
    return "cannot start the render of " + video;
  for (int waited = 0; OutputHandlerIsBusy() && waited < 6000; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const int result = OutputHandlerGetResult();
  RenderEnd();
  ProjectNew();
  return result == 0 ? std::string() : "render of " + video + " failed";
}

} // namespace

std::string MakeMaterials(const std::string& workDir, Materials* out) {
  Materials m;
  m.carLog = workDir + "/track-day-car.csv";
  m.bikeLog = workDir + "/track-day-motorbike.csv";
  m.rideLog = workDir + "/evening-ride.csv";
  SessionSpec car;
  SessionSpec bike;
  bike.kind = SessionKind::kMotorbike;
  bike.pace = {0.97, 1.0, 0.99};
  SessionSpec ride;
  ride.kind = SessionKind::kBicycle;
  ride.laps = 1;
  ride.outLap = 5;
  ride.tail = 5;
  ride.pace = {1.0};
  if (!WriteSession(car, m.carLog, &m.car) || !WriteSession(bike, m.bikeLog, &m.bike) ||
      !WriteSession(ride, m.rideLog, &m.ride))
    return "cannot write the logs in " + workDir;
  m.circuitPicture = workDir + "/circuit.png";
  m.roadPicture = workDir + "/country-road.png";
  m.cockpitPicture = workDir + "/cockpit.png";
  m.bikePicture = workDir + "/sports-bike.png";
  if (!PaintScene(Scene::kCircuit, kPictureW, kPictureH, m.circuitPicture) ||
      !PaintScene(Scene::kCountryRoad, kPictureW, kPictureH, m.roadPicture) ||
      !PaintScene(Scene::kCockpit, kPictureW, kPictureH, m.cockpitPicture) ||
      !PaintScene(Scene::kSportsBike, kPictureW, kPictureH, m.bikePicture))
    return "cannot paint the pictures in " + workDir;
  m.onboardVideo = workDir + "/onboard.mp4";
  m.cockpitVideo = workDir + "/cockpit.mp4";
  m.rideVideo = workDir + "/ride.mp4";
  std::string failed = RenderVideo(m.circuitPicture, m.onboardVideo);
  if (failed.empty()) failed = RenderVideo(m.cockpitPicture, m.cockpitVideo);
  if (failed.empty()) failed = RenderVideo(m.roadPicture, m.rideVideo);
  if (!failed.empty()) return failed;
  *out = m;
  return {};
}
