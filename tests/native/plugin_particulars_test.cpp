// What single DX8 plug-ins do beyond their setter rules, and copying and
// field layout for every DX8 channel class.
#include <gtest/gtest.h>
#include <string.h>

#include "chorus_stream.h"
#include "compressor_stream.h"
#include "distortion_stream.h"
#include "echo_stream.h"
#include "flanger_stream.h"
#include "gargle_stream.h"
#include "parameq_stream.h"
#include "plugin_catalog.h"
#include "reverb_stream.h"
#include "stream_rig.h"

namespace {

TEST(ParamEQ, FieldsNeverSeenGoToTheAudioLibraryAsMinusOne) {
  StreamRig rig;
  Kvc_channelParamEQ eq;
  EXPECT_EQ(eq.Parameters().fCenter, -1.0f);
  rig.Attach(eq, {1000, 10, 6});
  ASSERT_TRUE(eq.LinkChild(0, nullptr));
  ASSERT_TRUE(eq.LinkChild(1, nullptr));
  eq.SetStreamParamEQ(rig.stream());
  BASS_DX8_PARAMEQ passed;
  memcpy(&passed, rig.LastCall(kBassFXSetParameters).params, sizeof passed);
  EXPECT_EQ(passed.fCenter, -1.0f);
  EXPECT_EQ(passed.fBandwidth, -1.0f);
  EXPECT_EQ(passed.fGain, 6.0f);
}

TEST(NoChangeTestPlugins, WithoutChildrenTheyApplyOnlyWhileTheFlagIsUp) {
  StreamRig rig;
  Kvc_GargleStream gargle;
  Kvc_channelParamEQ eq;
  gargle.SetStreamGargle(rig.stream());
  eq.SetStreamParamEQ(rig.stream());
  EXPECT_EQ(BassProbe_EffectCount(rig.stream()->handle), 2u) << "the starting flag";
  for (int i = 0; i < 3; ++i) {
    rig.Mark();
    gargle.SetStreamGargle(rig.stream());
    eq.SetStreamParamEQ(rig.stream());
    EXPECT_EQ(rig.Calls(), kNoCalls) << i;
  }
  gargle.setRate(3.5f);  // the public setters raise it again
  rig.Mark();
  gargle.SetStreamGargle(rig.stream());
  EXPECT_EQ(rig.Calls(), kReapply);
  EXPECT_EQ(gargle.Parameters().dwRateHz, 3u);
}

TEST(IntegerSetters, NamedSettersTakeTheIntegerAsIs) {
  Kvc_ChorusStream chorus;
  chorus.setWaveform(0);
  chorus.hasChanged();
  chorus.setWaveform(4294967295u);
  EXPECT_EQ(chorus.Parameters().lWaveform, 1u);
  EXPECT_TRUE(chorus.hasChanged());
  chorus.setPhase(3);
  EXPECT_EQ(chorus.Parameters().lPhase, 3u);
  chorus.setPhase(5);
  EXPECT_EQ(chorus.Parameters().lPhase, 2u);
  Kvc_FlangerStream flanger;
  flanger.setPhase(4);
  flanger.hasChanged();
  flanger.setPhase(4);
  EXPECT_FALSE(flanger.hasChanged());
}

template <class T>
class Dx8Channel : public ::testing::Test {};
using Dx8Classes = ::testing::Types<Kvc_EchoStream, Kvc_ChorusStream, Kvc_FlangerStream, Kvc_DistorsionStream,
                                    Kvc_CompressorStream, Kvc_GargleStream, Kvc_ReverbStream, Kvc_channelParamEQ>;
TYPED_TEST_SUITE(Dx8Channel, Dx8Classes);

TYPED_TEST(Dx8Channel, FieldsFollowTheBasePartThenTheFlag) {
  TypeParam channel;
  const char* base = reinterpret_cast<const char*>(static_cast<Kvn_Channel*>(&channel));
  const char* fields = reinterpret_cast<const char*>(&channel.Parameters());
  EXPECT_EQ(fields - base, static_cast<long>(sizeof(Kvn_Channel)));
  EXPECT_EQ(static_cast<size_t>(fields - base) + sizeof(channel.Parameters()), sizeof(Kvn_Channel) + sizeof(channel.Parameters()));
  EXPECT_LE(sizeof(TypeParam), sizeof(Kvn_Channel) + sizeof(channel.Parameters()) + 8) << "the flag and padding only";
}

TYPED_TEST(Dx8Channel, CopiesCarryFieldsAndFlagAndLeaveTheStreamAlone) {
  StreamRig rig;
  TypeParam source;
  std::vector<float> values(static_cast<size_t>(TypeParam::kInfo.paramCount), 1.5f);
  rig.Attach(source, values);
  StreamOperation(&source, rig.stream());
  const uint32_t slot = rig.stream()->*TypeParam::kInfo.slot;
  rig.Mark();

  TypeParam copy(source);  // fields from the children, flag down
  EXPECT_EQ(memcmp(&copy.Parameters(), &source.Parameters(), sizeof(source.Parameters())), 0);
  EXPECT_FALSE(copy.ChangePending());
  EXPECT_EQ(copy.GetChild(0), source.GetChild(0)) << "the engine's part comes along";

  TypeParam fresh;  // flag up
  TypeParam freshCopy(fresh);
  EXPECT_TRUE(freshCopy.ChangePending());

  TypeParam assigned;
  TypeParam& result = (assigned = source);
  EXPECT_EQ(&result, &assigned);
  EXPECT_EQ(memcmp(&assigned.Parameters(), &source.Parameters(), sizeof(source.Parameters())), 0);
  EXPECT_FALSE(assigned.ChangePending());
  assigned = fresh;
  EXPECT_TRUE(assigned.ChangePending());
  EXPECT_EQ(rig.Calls(), kNoCalls);
  EXPECT_EQ(rig.stream()->*TypeParam::kInfo.slot, slot);
}

}  // namespace
