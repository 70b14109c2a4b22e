// The echo channel against the real engine and audio-library stand-in: what
// the frame does around the setters (their rules are in plugin_rules_test.cpp).
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "echo_stream.h"
#include "meshwerk/file.h"
#include "stream_rig.h"

namespace {

// Children in range, pan off: what each case starts from.
const std::vector<float> kBaseline = {50.0f, 50.0f, 100.0f, 100.0f, 0.0f};

BASS_DX8_ECHO RecordPassed(const StreamRig& rig) {
  BassProbeCall call = rig.LastCall(kBassFXSetParameters);
  BASS_DX8_ECHO record;
  memcpy(&record, call.params, sizeof record);
  return record;
}

TEST(EchoSetters, PanRuleWhenStoredIsOne) {
  struct Row {
    float value;
    uint32_t stored;
    bool applies;
  };
  const Row rows[] = {{1.0f, 1, false}, {0.5f, 0, true}, {0.999f, 0, true}, {2.0f, 0, true}, {-1.0f, 0, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    StreamRig rig;
    Kvc_EchoStream echo;
    echo.SetPanDelay(1.0f);
    ASSERT_TRUE(echo.hasChanged());
    echo.SetPanDelay(r.value);
    EXPECT_EQ(static_cast<uint32_t>(echo.Parameters().lPanDelay), r.stored);
    EXPECT_EQ(echo.hasChanged(), r.applies);
  }
}

TEST(EchoStream, FirstOperationAppliesAndUnchangedChildrenMakeNoCall) {
  StreamRig rig;
  Kvc_EchoStream echo;
  rig.Attach(echo, {20.0f, 30.0f, 40.0f, 50.0f, 1.0f});
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kFirstApply);
  const BASS_DX8_ECHO passed = RecordPassed(rig);
  EXPECT_EQ(passed.fWetDryMix, 20.0f);
  EXPECT_EQ(passed.fFeedback, 30.0f);
  EXPECT_EQ(passed.fLeftDelay, 40.0f);
  EXPECT_EQ(passed.fRightDelay, 50.0f);
  EXPECT_EQ(passed.lPanDelay, 1);
  const BassProbeCall set = rig.LastCall(kBassChannelSetFX);
  EXPECT_EQ(set.u[0], rig.stream()->handle);
  EXPECT_EQ(set.u[1], static_cast<DWORD>(BASS_FX_DX8_ECHO));
  EXPECT_EQ(set.u[2], 0u) << "priority";

  BassProbeEffect effect;
  ASSERT_TRUE(BassProbe_GetEffect(rig.stream()->echo, &effect));
  EXPECT_EQ(effect.type, static_cast<DWORD>(BASS_FX_DX8_ECHO));
  EXPECT_EQ(memcmp(effect.params, &passed, sizeof passed), 0);

  rig.Mark();
  echo.SetStreamEcho(rig.stream());
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kNoCalls);
}

TEST(EchoStream, MissingChildKeepsItsValueWhileOthersRefresh) {
  StreamRig rig;
  Kvc_EchoStream echo;
  rig.Attach(echo, {20.0f, 30.0f, 40.0f, 50.0f, 1.0f});
  echo.SetStreamEcho(rig.stream());
  ASSERT_TRUE(echo.LinkChild(4, nullptr));
  rig.child(4).SetValue(0.0f);  // no longer linked: must not be read
  rig.child(0).SetValue(70.0f);
  rig.Mark();
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kReapply);
  EXPECT_EQ(RecordPassed(rig).lPanDelay, 1);
  EXPECT_EQ(RecordPassed(rig).fWetDryMix, 70.0f);
}

TEST(EchoStream, NoChildrenAtAllAppliesOnceWithStartingValues) {
  StreamRig rig;
  Kvc_EchoStream echo;
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kFirstApply);
  const BASS_DX8_ECHO passed = RecordPassed(rig);
  EXPECT_EQ(passed.fWetDryMix, 0.0f);
  EXPECT_EQ(passed.fLeftDelay, 0.0f);
  EXPECT_EQ(passed.lPanDelay, 0);
  rig.Mark();
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kNoCalls);
}

TEST(EchoStream, OtherEffectTypesStayWhileASecondEchoReplacesTheFirst) {
  StreamRig rig;
  BassStream* s = rig.stream();
  s->chorus = BASS_ChannelSetFX(s->handle, BASS_FX_DX8_CHORUS, 0);
  ASSERT_NE(s->chorus, 0u);

  Kvc_EchoStream first, second;
  rig.Attach(first, kBaseline);
  first.SetStreamEcho(s);
  const uint32_t firstEcho = s->echo;
  EXPECT_EQ(BassProbe_EffectCount(s->handle), 2u) << "chorus and echo";

  second.SetStreamEcho(s);
  EXPECT_NE(s->echo, firstEcho);
  BassProbeEffect gone;
  EXPECT_FALSE(BassProbe_GetEffect(firstEcho, &gone)) << "the first echo's effect is removed";
  EXPECT_EQ(BassProbe_EffectCount(s->handle), 2u);
  EXPECT_EQ(BassProbe_EffectAt(s->handle, 0), s->chorus);
  EXPECT_EQ(BassProbe_EffectAt(s->handle, 1), s->echo);
}

TEST(EchoStream, RefusedEffectLeavesSlotEmptyUntilTheNextChange) {
  StreamRig rig;
  Kvc_EchoStream echo;
  rig.Attach(echo, kBaseline);
  echo.SetStreamEcho(rig.stream());
  ASSERT_NE(rig.stream()->echo, 0u);

  rig.child(0).SetValue(60.0f);
  BassProbe_FailNext(kBassChannelSetFX, BASS_ERROR_NOFX);
  rig.Mark();
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), (std::vector<int>{kBassChannelRemoveFX, kBassChannelSetFX}));
  EXPECT_EQ(rig.stream()->echo, 0u);
  EXPECT_EQ(BassProbe_EffectCount(rig.stream()->handle), 0u);

  rig.Mark();
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kNoCalls) << "unchanged children: not tried again";

  rig.child(0).SetValue(61.0f);
  rig.Mark();
  echo.SetStreamEcho(rig.stream());
  EXPECT_EQ(rig.Calls(), kFirstApply) << "slot empty: nothing to remove";
  EXPECT_NE(rig.stream()->echo, 0u);
}

// Saves the channel alone into memory and returns the loader's view.
std::vector<unsigned char> SaveToMemory(Kvn_Channel& channel, bool* result) {
  KvnFileSaver saver;
  saver.OpenInMemory();
  *result = channel.SaveChannel(saver);
  return std::vector<unsigned char>(saver.MemoryData(), saver.MemoryData() + saver.MemorySize());
}

TEST(EchoFile, SaveWritesTheMarkerBlockAfterTheEnginePart) {
  Kvc_EchoStream echo;
  bool ok = false;
  std::vector<unsigned char> bytes = SaveToMemory(echo, &ok);
  ASSERT_TRUE(ok);
  const unsigned char marker[] = {'X', 'X', 'X', 'X', 4, 0, 0, 0, 0xEC, 0x51, 0x9A, 0x44};
  ASSERT_GE(bytes.size(), sizeof marker);
  EXPECT_EQ(memcmp(bytes.data() + bytes.size() - sizeof marker, marker, sizeof marker), 0) << "last block";
  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(loader.BlockCount(), 2) << "engine part, marker";

  Kvc_EchoStream loaded;
  EXPECT_TRUE(loaded.LoadChannel(loader, nullptr));
  EXPECT_STREQ(loaded.GetChannelName(), "EchoStream");
}

TEST(EchoFile, SaveFailsWithoutAnOpenSaverAndWritesNothing) {
  Kvc_EchoStream echo;
  KvnFileSaver saver;  // never opened
  EXPECT_FALSE(echo.SaveChannel(saver));
  EXPECT_EQ(saver.MemorySize(), 0u);
}

TEST(EchoFile, LoadAcceptsAMissingOrOversizedMarkerAndRefusesAMissingEnginePart) {
  Kvc_EchoStream source;
  KvnFileSaver engineOnly;
  engineOnly.OpenInMemory();
  ASSERT_TRUE(source.Kvn_Channel::SaveChannel(engineOnly));
  const std::vector<unsigned char> withoutMarker(engineOnly.MemoryData(),
                                                 engineOnly.MemoryData() + engineOnly.MemorySize());

  std::vector<unsigned char> bigMarker = withoutMarker;
  const unsigned char block[] = {'X', 'X', 'X', 'X', 16, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  bigMarker.insert(bigMarker.end(), block, block + sizeof block);

  const unsigned char markerOnly[] = {'K', 'V', 'N', 'F', 1, 0, 0, 0, 'X', 'X', 'X', 'X', 4, 0, 0, 0, 0xEC, 0x51, 0x9A, 0x44};

  struct Row {
    const char* name;
    std::vector<unsigned char> bytes;
    bool loads;
  };
  const Row rows[] = {
      {"no marker block", withoutMarker, true},
      {"marker block of 16 bytes", bigMarker, true},
      {"marker without the engine part", std::vector<unsigned char>(markerOnly, markerOnly + sizeof markerOnly), false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    KvnFileLoader loader;
    ASSERT_TRUE(loader.OpenMemory(r.bytes.data(), r.bytes.size()));
    Kvc_EchoStream echo;
    EXPECT_EQ(echo.LoadChannel(loader, nullptr), r.loads);
  }
}

TEST(EchoCopy, CopiesParametersAndFlagAndLeavesTheStreamAlone) {
  StreamRig rig;
  Kvc_EchoStream source;
  rig.Attach(source, {10.0f, 20.0f, 30.0f, 40.0f, 1.0f});
  source.SetStreamEcho(rig.stream());
  source.SetMix(90.0f);  // flag up, not applied yet
  rig.Mark();

  Kvc_EchoStream copy(source);
  EXPECT_EQ(memcmp(&copy.Parameters(), &source.Parameters(), sizeof(BASS_DX8_ECHO)), 0);
  EXPECT_TRUE(copy.ChangePending());

  Kvc_EchoStream assigned;
  EXPECT_TRUE(assigned.hasChanged());
  EXPECT_FALSE(assigned.ChangePending());
  Kvc_EchoStream& result = (assigned = source);
  EXPECT_EQ(&result, &assigned);
  EXPECT_EQ(assigned.Parameters().fWetDryMix, 90.0f);
  EXPECT_EQ(assigned.Parameters().lPanDelay, 1);
  EXPECT_TRUE(assigned.ChangePending());
  EXPECT_STREQ(assigned.GetChannelName(), "EchoStream");
  EXPECT_EQ(rig.Calls(), kNoCalls);
  EXPECT_NE(rig.stream()->echo, 0u) << "the source's effect stays";
}

TEST(EchoLifetime, DestroyingTheChannelLeavesItsEffectOnTheStream) {
  StreamRig rig;
  auto* echo = new Kvc_EchoStream;
  echo->SetStreamEcho(rig.stream());
  const uint32_t fx = rig.stream()->echo;
  rig.Mark();
  delete static_cast<Kvn_Channel*>(echo);
  EXPECT_EQ(rig.Calls(), kNoCalls);
  BassProbeEffect effect;
  EXPECT_TRUE(BassProbe_GetEffect(fx, &effect));
}

}  // namespace
