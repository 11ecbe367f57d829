// Sound mixing: gains, balance, channel modes and the output formats.
#include "render/loop/audio_mix.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<int32_t> mix(const std::vector<int16_t>& pcm, uint32_t channels, const SoundGains& g,
                         uint32_t outFrames = 4) {
  std::vector<int32_t> stereo(outFrames * 2, 0);
  MixFramesInto(pcm.data(), static_cast<uint32_t>(pcm.size() / channels), channels, g, &stereo);
  return stereo;
}

} // namespace

TEST(AudioMix, NeutralGainsCopyStereo) {
  std::vector<int32_t> out = mix({1000, -2000, 1000, -2000, 1000, -2000, 1000, -2000}, 2, {});
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], -2000);
}

TEST(AudioMix, VolumeOfInputAndObjectMultiply) {
  SoundGains g;
  g.volume = 50;
  g.objectVolume = 50;
  std::vector<int32_t> out = mix({4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000}, 2, g);
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], 1000);
}

TEST(AudioMix, BalanceTurnsTheOtherSideDown) {
  SoundGains g;
  g.balance = 50; // half way to the left
  std::vector<int32_t> out = mix({1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}, 2, g);
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], 500);
  g.balance = 100;
  g.objectBalance = 200; // object fully right
  out = mix({1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}, 2, g);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 1000);
}

TEST(AudioMix, ChannelModes) {
  const std::vector<int16_t> pcm = {100, 300, 100, 300, 100, 300, 100, 300};
  SoundGains g;
  g.channelMode = 1;
  auto out = mix(pcm, 2, g);
  EXPECT_EQ(out[0], 300);
  EXPECT_EQ(out[1], 100);
  g.channelMode = 2;
  out = mix(pcm, 2, g);
  EXPECT_EQ(out[1], 100);
  g.channelMode = 3;
  out = mix(pcm, 2, g);
  EXPECT_EQ(out[0], 300);
  g.channelMode = 4;
  out = mix(pcm, 2, g);
  EXPECT_EQ(out[0], 200);
  EXPECT_EQ(out[1], 200);
}

TEST(AudioMix, MonoSourceFeedsBothSidesAndAddsToWhatIsThere) {
  std::vector<int16_t> pcm = {0, 1000, 2000, 3000};
  std::vector<int32_t> stereo(4 * 2, 5);
  MixFramesInto(pcm.data(), 4, 1, {}, &stereo);
  EXPECT_EQ(stereo, (std::vector<int32_t>{5, 5, 1005, 1005, 2005, 2005, 3005, 3005}));
}

TEST(AudioMix, BadSourcesAddNothing) {
  std::vector<int32_t> stereo(4, 7);
  std::vector<int16_t> pcm = {1, 2};
  MixFramesInto(nullptr, 2, 1, {}, &stereo);
  MixFramesInto(pcm.data(), 0, 1, {}, &stereo);
  MixFramesInto(pcm.data(), 1, 3, {}, &stereo);
  EXPECT_EQ(stereo, std::vector<int32_t>(4, 7));
}

TEST(AudioMix, FormatsClipAndConvert) {
  const std::vector<int32_t> stereo = {40000, -40000, 256, 0};
  std::vector<uint8_t> out;
  MixToFormat(stereo, AudioFormatFor(3, 8000), &out);
  ASSERT_EQ(out.size(), 8u);
  int16_t s[4];
  std::memcpy(s, out.data(), 8);
  EXPECT_EQ(s[0], 32767);
  EXPECT_EQ(s[1], -32768);
  EXPECT_EQ(s[2], 256);
  MixToFormat(stereo, AudioFormatFor(0, 8000), &out); // mono 8-bit
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], 128); // the two sides cancel
  EXPECT_EQ(out[1], 128);
}
