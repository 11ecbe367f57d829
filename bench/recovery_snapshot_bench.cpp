// What keeping the latest change for recovery costs each change: a facade
// write-back (DispObjSet) with the recovery snapshot written after it, against
// the same write-back with no engine hook, for a project of twenty objects,
// and for the same project with a 1080p background picture in one object.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "base/access_lock.h"
#include "base/identity.h"
#include "base/text.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "media/bmp_file.h"
#include "render/objects/background_bitmap.h"

namespace {

void buildProject(bool withPicture) {
  for (int i = 0; i < 20; ++i) DispObjAdd(i % 2 == 0 ? kDispShape : kDispText, 255);
  if (!withPicture) return;
  const char* dir = std::getenv("TMPDIR");
  const std::wstring path = Utf8ToWide(std::string(dir ? dir : "/tmp") + "/qv_bench_background.bmp");
  std::vector<uint8_t> pixels(1920 * 1080 * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
  BmpWriteFile(path, pixels.data(), 1920, 1080, 24, true);
  DispObjBitmapImport(0, path.c_str());
}

// range(0): 1 with the picture; range(1): 1 with the recovery snapshot, 0
// with the hook taken away (the cost before recovery kept every change).
void BM_ChangeWriteBack(benchmark::State& state) {
  AppInitIdentity();
  if (AppInit(0) != 1) {
    state.SkipWithError("engine did not start");
    return;
  }
  buildProject(state.range(0) != 0);
  if (state.range(1) == 0) AccessSetChangeHook(nullptr);
  DispStruct record = *DispObjGet(1);
  for (auto _ : state) {
    record.X = record.X > 50 ? 10.0f : record.X + 0.5f;
    if (DispObjSet(1, &record) != 0) state.SkipWithError("write-back failed");
  }
  AppEnd();
}
BENCHMARK(BM_ChangeWriteBack)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The undo checkpoint every change from the interface takes before it, for
// scale: the same project written once more.
void BM_UndoCheckpoint(benchmark::State& state) {
  AppInitIdentity();
  if (AppInit(0) != 1) {
    state.SkipWithError("engine did not start");
    return;
  }
  buildProject(state.range(0) != 0);
  for (auto _ : state)
    if (UndoSave() != 0) state.SkipWithError("checkpoint failed");
  AppEnd();
}
BENCHMARK(BM_UndoCheckpoint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
