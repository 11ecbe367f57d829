// An input's pictures and sound by time. A joined video or audio input is
// served by the member that plays then, at that member's own time (its
// offset, trim and play rate composed through the join); between and past
// the members there is no picture and silence, and no error. Any other
// input reads its own slot. Callers hold the access lock.
#include "media/input_handler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "base/error.h"
#include "model/input_internal.h"
#include "model/input_table.h"
#include "model/input_timing.h"
#include "media/media_slot.h"
#include "media/sound_stream.h"

namespace {

constexpr const char* kFrameName = "InputHandlerGetFrameRF";

// An input whose own file sits in its media slot: its reader's pictures
// and sound.
int SlotGetFrame(uint32_t input, double time, InputFrame* frame) {
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!frame) return ErrorSet(kErrBadArg, kFrameName);
  *frame = InputFrame{};
  if (!main || !slot || main->Type == kInputFiller) return ErrorSet(kErrBadArg, kFrameName);
  const std::shared_ptr<MediaReader> reader = InputHandlerReader(input);
  if (!reader || slot->VideoHandler == kHandlerNone) return ErrorSet(kErrBadArg, kFrameName);
  // A still picture keeps the frame decoded when it was opened.
  if (main->Type != kInputImage) {
    slot->FrameData = reader->GetFrame(time) < 0 ? nullptr : reader->BitmapData();
  }
  if (!slot->FrameData) return ErrorSet(kErrRead, kFrameName);
  frame->Pixels = slot->FrameData;
  frame->Width = main->Width;
  frame->Height = main->Height;
  frame->BytesPerPixel = slot->BytesPerPixel;
  frame->FlipVertical = slot->FlipVertical;
  frame->MirrorHorizontal = slot->MirrorHorizontal;
  return ErrorSet(kOk, kFrameName);
}

bool SlotGetFramePlanes(uint32_t input, double time, PlanarPicture* planes) {
  const MainStruct* main = InputTableMain(input);
  const InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!planes || !main || !slot || main->Type != kInputVideo || slot->VideoHandler == kHandlerNone ||
      slot->MirrorHorizontal != 0)
    return false;
  const std::shared_ptr<MediaReader> reader = InputHandlerReader(input);
  return reader && reader->GetFramePlanes(time, planes);
}

void SlotPrepareFrame(uint32_t input, double time) {
  MainStruct* main = InputTableMain(input);
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!main || !slot || main->Type == kInputImage || slot->VideoHandler == kHandlerNone) return;
  if (time == slot->LastPrepareTime) return;
  slot->LastPrepareTime = time;
  if (const std::shared_ptr<MediaReader> reader = InputHandlerReader(input)) reader->PrepareFrame(time);
}

void SlotSeek(uint32_t input, double time) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || time == slot->LastSeekTime) return;
  slot->LastSeekTime = time;
  if (const std::shared_ptr<MediaReader> reader = InputHandlerReader(input)) reader->Seek(time);
}

void SlotSetPlaybackRate(uint32_t input, double fps) {
  if (const std::shared_ptr<MediaReader> reader = InputHandlerReader(input)) reader->SetPlaybackFrameRate(fps);
}

int SlotGetAudio(uint32_t input, double start, double length, const uint8_t** data) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (data) *data = nullptr;
  if (!slot) return 0;
  slot->AudioData = nullptr;
  const std::shared_ptr<MediaReader> reader = InputHandlerReader(input);
  if (!reader || slot->AudioHandler == kHandlerNone) return 0;
  // The end of the sound and a failed read alike give no sound for the span.
  if (reader->GetAudio(start, length) < 0 || !reader->AudioData() || reader->AudioDataLength() == 0) return 0;
  slot->AudioData = reader->AudioData();
  if (data) *data = slot->AudioData;
  return static_cast<int>(reader->AudioDataLength());
}

const AudioFormat* SlotGetAudioFormat(uint32_t input) {
  InputHandlerSlot* slot = InputHandlerGetSlot(input);
  if (!slot || slot->AudioHandler == kHandlerNone) return nullptr;
  return &slot->Format;
}

// Joins inside joins are served to this depth; a deeper one is silent.
constexpr int kMaxDepth = 8;

// One buffer per depth of joins inside joins, per thread: the render
// thread and the interface's previews may both ask, and an outer join
// copies from the buffer of the join inside it.
thread_local std::array<std::vector<uint8_t>, kMaxDepth> t_sound;
thread_local int t_depth = 0;

struct DepthGuard {
  DepthGuard() { ++t_depth; }
  ~DepthGuard() { --t_depth; }
};

bool HasPictures(uint32_t input) {
  const MainStruct* main = InputTableMain(input);
  return main && main->Type != kInputFiller && main->Type != kInputAudio && main->Type != kInputJoinAudio;
}

// Writes frames of the join's channel count from PCM of a member already
// at the join's rate: two channels to one by their mean, one to both.
void MapChannels(const int16_t* in, uint32_t inCh, size_t frames, uint32_t outCh, int16_t* out) {
  if (inCh == outCh) {
    std::memcpy(out, in, frames * inCh * sizeof(int16_t));
    return;
  }
  for (size_t i = 0; i < frames; ++i) {
    if (outCh == 1) {
      out[i] = static_cast<int16_t>((in[2 * i] + in[2 * i + 1]) / 2);
    } else {
      out[2 * i] = out[2 * i + 1] = in[i];
    }
  }
}

// Each member's sound as one stream at its join's rate, per thread (the
// render thread and the interface's previews both read joins), so a member
// read span after span continues sample for sample.
thread_local std::map<uint32_t, SoundStream> t_memberStreams;
thread_local std::array<std::vector<int16_t>, kMaxDepth + 1> t_memberSound; // per depth

bool JoinHasMedia(uint32_t input) {
  const MainStruct* main = InputTableMain(input);
  return main && (main->Type == kInputJoinVideo || main->Type == kInputJoinAudio);
}

int JoinGetFrame(uint32_t join, double time, InputFrame* frame) {
  if (!frame) return ErrorSet(kErrBadArg, kFrameName);
  *frame = InputFrame{};
  uint32_t member = kNoInput;
  double memberTime = 0;
  if (t_depth >= kMaxDepth || !InputJoinMemberAt(join, time, &member, &memberTime, nullptr) ||
      !HasPictures(member))
    return ErrorSet(kOk, kFrameName); // nothing to show then: a blank frame
  DepthGuard guard;
  return InputHandlerGetFrameRF(member, memberTime, frame);
}

// Calls the routine on the member that plays at the join's time.
template <class Call>
void AtMember(uint32_t join, double time, Call call) {
  uint32_t member = kNoInput;
  double memberTime = 0;
  if (t_depth >= kMaxDepth || !InputJoinMemberAt(join, time, &member, &memberTime, nullptr)) return;
  DepthGuard guard;
  call(member, memberTime);
}

void JoinPrepareFrame(uint32_t join, double time) { AtMember(join, time, InputHandlerPrepareFrame); }

void JoinSeek(uint32_t join, double time) { AtMember(join, time, InputHandlerSeek); }

void JoinSetPlaybackRate(uint32_t join, double fps) {
  if (t_depth >= kMaxDepth) return;
  DepthGuard guard;
  for (uint32_t member : InputMembers(join)) InputHandlerSetPlaybackRate(member, fps);
}

const AudioFormat* JoinGetAudioFormat(uint32_t join) {
  if (t_depth >= kMaxDepth) return nullptr;
  DepthGuard guard;
  for (uint32_t member : InputMembers(join))
    if (const AudioFormat* format = InputHandlerGetAudioFormat(member)) return format;
  return nullptr;
}

int JoinGetAudio(uint32_t join, double start, double length, const uint8_t** data) {
  if (data) *data = nullptr;
  const AudioFormat* joinFormat = JoinGetAudioFormat(join);
  if (!joinFormat || !(length > 0) || t_depth >= kMaxDepth) return 0;
  const AudioFormat format = *joinFormat;
  const double rate = format.nSamplesPerSec;
  const size_t block = format.nBlockAlign;
  const size_t total = static_cast<size_t>(std::llround(length * rate));
  if (total == 0 || block == 0 || format.nChannels < 1 || format.nChannels > 2) return 0;
  std::vector<uint8_t>& out = t_sound[static_cast<size_t>(t_depth)];
  DepthGuard guard;
  out.assign(total * block, 0);
  bool any = false;
  // Piece by piece in whole samples of the join: each stretch up to the
  // next member boundary comes from the member that plays in it, or stays
  // silent.
  const int64_t first = std::llround(start * rate);
  for (size_t done = 0; done < total;) {
    const int64_t position = first + static_cast<int64_t>(done);
    uint32_t member = kNoInput;
    double memberTime = 0, spanEnd = 0;
    // A sample belongs to the member that plays at its middle, and the
    // boundaries fall on the nearest whole sample: the members' lengths and
    // starts are kept in float seconds, a few hundredths of a sample off,
    // and the member that follows starts on the sample after the last one
    // of the member before.
    const bool plays = InputJoinMemberAt(join, (static_cast<double>(position) + 0.5) / rate, &member, &memberTime,
                                         &spanEnd);
    if (plays) memberTime = InputLocalTime(*InputTableMain(member), static_cast<double>(position) / rate);
    const double edge = std::round(spanEnd * rate) - static_cast<double>(first);
    size_t pieceEnd = std::isfinite(edge) && edge < static_cast<double>(total) ? static_cast<size_t>(std::max(edge, 0.0)) : total;
    if (pieceEnd <= done) pieceEnd = done + 1;
    const auto frames = static_cast<uint32_t>(pieceEnd - done);
    const AudioFormat* from = plays ? InputHandlerGetAudioFormat(member) : nullptr;
    if (from && from->wBitsPerSample == 16 && from->nChannels >= 1 && from->nChannels <= 2 && from->nSamplesPerSec) {
      const AudioFormat memberFormat = *from;
      const double memberRate = memberFormat.nSamplesPerSec;
      const SoundSource source{memberFormat.nSamplesPerSec, memberFormat.nChannels,
                               InputPlayRate(*InputTableMain(member))};
      const SoundStream::Reader read = [member, memberRate, &memberFormat](int64_t at, uint32_t want,
                                                                           const int16_t** pcm) -> uint32_t {
        const uint8_t* got = nullptr;
        const int bytes = InputHandlerGetAudio(member, static_cast<double>(at) / memberRate, want / memberRate, &got);
        *pcm = reinterpret_cast<const int16_t*>(got);
        return bytes > 0 && got ? static_cast<uint32_t>(bytes) / memberFormat.nBlockAlign : 0;
      };
      std::vector<int16_t>& sound = t_memberSound[static_cast<size_t>(t_depth)];
      if (t_memberStreams[member].Read(position, frames, format.nSamplesPerSec, source, memberTime, read, &sound)) {
        MapChannels(sound.data(), memberFormat.nChannels, frames, format.nChannels,
                    reinterpret_cast<int16_t*>(out.data() + done * block));
        any = true;
      }
    }
    done = pieceEnd;
  }
  if (!any) return 0;
  if (data) *data = out.data();
  return static_cast<int>(out.size());
}

} // namespace

int InputHandlerGetFrameRF(uint32_t input, double time, InputFrame* frame) {
  return JoinHasMedia(input) ? JoinGetFrame(input, time, frame) : SlotGetFrame(input, time, frame);
}

bool InputHandlerGetFramePlanes(uint32_t input, double time, PlanarPicture* planes) {
  return !JoinHasMedia(input) && SlotGetFramePlanes(input, time, planes);
}

void InputHandlerPrepareFrame(uint32_t input, double time) {
  if (JoinHasMedia(input)) return JoinPrepareFrame(input, time);
  SlotPrepareFrame(input, time);
}

void InputHandlerSeek(uint32_t input, double time) {
  if (JoinHasMedia(input)) return JoinSeek(input, time);
  SlotSeek(input, time);
}

void InputHandlerSetPlaybackRate(uint32_t input, double fps) {
  if (JoinHasMedia(input)) return JoinSetPlaybackRate(input, fps);
  SlotSetPlaybackRate(input, fps);
}

int InputHandlerGetAudio(uint32_t input, double start, double length, const uint8_t** data) {
  return JoinHasMedia(input) ? JoinGetAudio(input, start, length, data) : SlotGetAudio(input, start, length, data);
}

const AudioFormat* InputHandlerGetAudioFormat(uint32_t input) {
  return JoinHasMedia(input) ? JoinGetAudioFormat(input) : SlotGetAudioFormat(input);
}
