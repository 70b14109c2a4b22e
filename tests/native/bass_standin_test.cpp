// The audio-library stand-in: handles, effects per stream, published errors.
#include <gtest/gtest.h>
#include <string.h>

#include "bass/bass_probe.h"

namespace {

class BassStandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    BassProbe_Reset();
    stream_ = BASS_StreamCreate(44100, 2, 0, nullptr, nullptr);
    ASSERT_NE(stream_, 0u);
  }
  HSTREAM stream_ = 0;
};

TEST_F(BassStandIn, EffectHandlesAreDistinctNonZeroAndKeepTheirParameters) {
  const HFX a = BASS_ChannelSetFX(stream_, BASS_FX_DX8_ECHO, 0);
  const HFX b = BASS_ChannelSetFX(stream_, BASS_FX_DX8_ECHO, 0);
  const HFX c = BASS_ChannelSetFX(stream_, BASS_FX_DX8_REVERB, 3);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_NE(b, c);
  EXPECT_NE(a, stream_);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
  BASS_DX8_REVERB params = {-3.0f, -10.0f, 1000.0f, 0.5f};
  EXPECT_TRUE(BASS_FXSetParameters(c, &params));
  BassProbeEffect effect;
  ASSERT_TRUE(BassProbe_GetEffect(c, &effect));
  EXPECT_EQ(effect.priority, 3);
  EXPECT_EQ(effect.paramSets, 1u);
  EXPECT_EQ(memcmp(effect.params, &params, sizeof params), 0);
  BASS_DX8_REVERB back{};
  EXPECT_TRUE(BASS_FXGetParameters(c, &back));
  EXPECT_EQ(back.fReverbTime, 1000.0f);
  EXPECT_TRUE(BASS_ChannelRemoveFX(stream_, a));
  EXPECT_EQ(BassProbe_EffectCount(stream_), 2u);
}

TEST_F(BassStandIn, BadHandlesAndTypesGiveThePublishedErrors) {
  const HFX fx = BASS_ChannelSetFX(stream_, BASS_FX_DX8_GARGLE, 0);
  struct Row {
    const char* name;
    bool ok;
    int error;
  };
  const Row rows[] = {
      {"SetFX on no stream", BASS_ChannelSetFX(12345, BASS_FX_DX8_ECHO, 0) != 0, BASS_ERROR_HANDLE},
      {"SetFX unknown type", BASS_ChannelSetFX(stream_, 9, 0) != 0, BASS_ERROR_ILLTYPE},
      {"RemoveFX on no stream", BASS_ChannelRemoveFX(12345, fx) != 0, BASS_ERROR_HANDLE},
      {"RemoveFX unknown effect", BASS_ChannelRemoveFX(stream_, fx + 100) != 0, BASS_ERROR_HANDLE},
      {"SetParameters unknown effect", BASS_FXSetParameters(fx + 100, &fx) != 0, BASS_ERROR_HANDLE},
      {"SetParameters null record", BASS_FXSetParameters(fx, nullptr) != 0, BASS_ERROR_ILLPARAM},
      {"EAX mix on no stream", BASS_ChannelSetEAXMix(12345, 1.0f) != 0, BASS_ERROR_HANDLE},
      {"EAX environment 26", BASS_SetEAXParameters(26, 0.5f, 1.0f, 0.5f) != 0, BASS_ERROR_ILLPARAM},
  };
  // Each row ran in order above; the log keeps the code each call left.
  DWORD callIndex = BassProbe_CallCount() - static_cast<DWORD>(sizeof rows / sizeof rows[0]);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_FALSE(r.ok);
    BassProbeCall call;
    ASSERT_TRUE(BassProbe_GetCall(callIndex++, &call));
    EXPECT_EQ(call.error, r.error);
  }
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM) << "the last call's code";
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM) << "asking does not reset it";
}

TEST_F(BassStandIn, AChosenCallFailsOnceWithTheChosenError) {
  BassProbe_FailNext(kBassChannelSetFX, BASS_ERROR_NOFX);
  EXPECT_EQ(BASS_ChannelSetFX(stream_, BASS_FX_DX8_ECHO, 0), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOFX);
  EXPECT_EQ(BassProbe_EffectCount(stream_), 0u);
  EXPECT_NE(BASS_ChannelSetFX(stream_, BASS_FX_DX8_ECHO, 0), 0u) << "only the next call";
}

TEST_F(BassStandIn, EaxMixIsPerStreamAndMinusOneLeavesEnvironmentValues) {
  const HSTREAM other = BASS_StreamCreate(22050, 1, 0, nullptr, nullptr);
  EXPECT_TRUE(BASS_ChannelSetEAXMix(stream_, 1.0f));
  float mix = 0;
  EXPECT_TRUE(BassProbe_GetEAXMix(stream_, &mix));
  EXPECT_EQ(mix, 1.0f);
  EXPECT_FALSE(BassProbe_GetEAXMix(other, &mix));
  EXPECT_TRUE(BASS_SetEAXParameters(8, 0.5f, 2.886f, 1.304f));
  EXPECT_TRUE(BASS_SetEAXParameters(-1, -1.0f, -1.0f, -1.0f));
  int env = 0;
  float vol = 0, decay = 0, damp = 0;
  EXPECT_TRUE(BassProbe_GetEAXParameters(&env, &vol, &decay, &damp));
  EXPECT_EQ(env, 8);
  EXPECT_EQ(decay, 2.886f);
  BassProbe_SetEAXAvailable(0);
  EXPECT_FALSE(BASS_ChannelSetEAXMix(stream_, 1.0f));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOEAX);
}

TEST_F(BassStandIn, FreeingAStreamEndsItsEffects) {
  const HFX fx = BASS_ChannelSetFX(stream_, BASS_FX_DX8_CHORUS, 0);
  EXPECT_TRUE(BASS_StreamFree(stream_));
  BassProbeEffect effect;
  EXPECT_FALSE(BassProbe_GetEffect(fx, &effect));
  EXPECT_FALSE(BASS_StreamFree(stream_));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

}  // namespace
