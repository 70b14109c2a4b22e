// The EAX channel: presets, error texts, debug messages, the "EAXE" block.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "eax_stream.h"
#include "stream_rig.h"

namespace {

class EaxTest : public ::testing::Test {
 protected:
  void SetUp() override { eax_.SetEngineContext(&context_); }
  // The texts the two debug sinks received, in order, as "first|second".
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (int i = 0; i < context_.errorMessage.Count(); ++i)
      out.push_back(std::string(context_.errorMessage.Text(i)) + "|" +
                    (context_.channelMessage.Text(i) ? context_.channelMessage.Text(i) : "(none)"));
    return out;
  }
  StreamRig rig_;
  Kvn_EngineContext context_;
  Kvc_EAXStream eax_;
};

struct PresetCase {
  float child;
  int env;
  float vol, decay, damp;
};

TEST_F(EaxTest, ChildSelectsThePresetRowAfterSettingTheMix) {
  const PresetCase rows[] = {
      {8, 8, 0.5f, 2.886f, 1.304f},      {25.9f, 25, 0.486f, 7.563f, 0.806f}, {0, 0, 0.5f, 1.493f, 0.5f},
      {3.9f, 3, 0.653f, 1.499f, 0.166f}, {-0.5f, 0, 0.5f, 1.493f, 0.5f},      {24, 24, 0.139f, 17.234f, 0.666f},
      {-1, -1, -1, -1, -1},              {-1.7f, -1, -1, -1, -1},
  };
  rig_.Attach(eax_, {0});
  for (const PresetCase& r : rows) {
    SCOPED_TRACE(r.child);
    rig_.child(0).SetValue(r.child);
    rig_.Mark();
    eax_.SetEaxEffect(rig_.stream());
    EXPECT_EQ(rig_.Calls(), (std::vector<int>{kBassChannelSetEAXMix, kBassSetEAXParameters}));
    const BassProbeCall mix = rig_.LastCall(kBassChannelSetEAXMix);
    EXPECT_EQ(mix.u[0], rig_.stream()->handle);
    EXPECT_EQ(mix.f[0], 1.0f);
    const BassProbeCall env = rig_.LastCall(kBassSetEAXParameters);
    EXPECT_EQ(static_cast<int>(env.u[0]), r.env);
    EXPECT_EQ(env.f[0], r.vol);
    EXPECT_EQ(env.f[1], r.decay);
    EXPECT_EQ(env.f[2], r.damp);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EaxTest, AnUnchangedChildAppliesAgainAtEveryStreamOperation) {
  rig_.Attach(eax_, {5});
  for (int i = 0; i < 3; ++i) {
    rig_.Mark();
    eax_.SetEaxEffect(rig_.stream());
    EXPECT_EQ(rig_.Calls(), (std::vector<int>{kBassChannelSetEAXMix, kBassSetEAXParameters})) << i;
  }
  EXPECT_EQ(BassStream{}.echo, rig_.stream()->echo) << "no DX8 slot touched";
  EXPECT_EQ(BassProbe_EffectCount(rig_.stream()->handle), 0u);
}

TEST_F(EaxTest, IndexOutsideThePresetsSetsTheMixThenReportsTheCurrentCode) {
  rig_.Attach(eax_, {26});
  eax_.SetEaxEffect(rig_.stream());
  EXPECT_EQ(rig_.Calls(), (std::vector<int>{kBassChannelSetEAXMix, kBassErrorGetCode}));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Ok|No se pudo asignar los parametros EAX"}));

  rig_.child(0).SetValue(NAN);  // no integer value: outside the presets too
  eax_.SetEaxEffect(rig_.stream());
  EXPECT_EQ(eax_.EffectIndex(), INT32_MIN);
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(EaxTest, FailuresShowTheTextForTheAudioLibrarysCode) {
  struct Row {
    int function;
    int code;
    const char* text;
  };
  const Row rows[] = {
      {kBassChannelSetEAXMix, 22, "No eax support"}, {kBassChannelSetEAXMix, 5, "Bad handle"},
      {kBassSetEAXParameters, 20, "ILLPARM"},        {kBassSetEAXParameters, 12, "Unknown error"},
      {kBassSetEAXParameters, -1, "Unknown error"},  {kBassSetEAXParameters, 43, "Unknown error"},
      {kBassSetEAXParameters, -2, "Unknown error"},  {kBassChannelSetEAXMix, 37, "Not avaliable error"},
      {kBassChannelSetEAXMix, 8, "Not initializated"},
  };
  rig_.Attach(eax_, {2});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    context_.errorMessage.Clear();
    context_.channelMessage.Clear();
    BassProbe_FailNext(r.function, r.code);
    rig_.Mark();
    eax_.SetEaxEffect(rig_.stream());
    const std::vector<int> expected = r.function == kBassChannelSetEAXMix
                                          ? std::vector<int>{kBassChannelSetEAXMix, kBassErrorGetCode}
                                          : std::vector<int>{kBassChannelSetEAXMix, kBassSetEAXParameters, kBassErrorGetCode};
    EXPECT_EQ(rig_.Calls(), expected);
    EXPECT_EQ(Messages(), (std::vector<std::string>{std::string(r.text) + "|No se pudo asignar los parametros EAX"}));
  }
}

TEST(EaxErrorTexts, EveryCodeOfTheTable) {
  const std::pair<int, const char*> rows[] = {
      {-1, "Unknown error"}, {0, "Ok"}, {1, "Memory error"}, {2, "Open file error"}, {3, "Driver error"},
      {4, "Buffer lost"}, {5, "Bad handle"}, {6, "Format error"}, {7, "Position error"}, {8, "Not initializated"},
      {9, "Not started"}, {10, "Unknown error"}, {13, "Unknown error"}, {14, "Already error"}, {15, "Unknown error"},
      {16, "not paused"}, {17, "Unknown error"}, {18, "not channel error"}, {19, "ILLTYPE"}, {20, "ILLPARM"},
      {21, "No 3d support"}, {22, "No eax support"}, {23, "Device error"}, {24, "Not playing"},
      {25, "Bad frequency"}, {26, "Unknown error"}, {27, "Bad file"}, {28, "Unknown error"},
      {29, "Not hardware support"}, {30, "Unknown error"}, {31, "Empty"}, {32, "No net error"},
      {33, "Create error"}, {34, "No fx support"}, {35, "Stream playing"}, {36, "Unknown error"},
      {37, "Not avaliable error"}, {38, "Decode error"}, {39, "Directsound error"}, {40, "Timeout error"},
      {41, "Fileform error"}, {42, "Speaker error"}, {43, "Unknown error"}, {-100, "Unknown error"},
  };
  for (const auto& r : rows) EXPECT_STREQ(Kvc_EAXStream::ErrorText(r.first), r.second) << r.first;
}

TEST_F(EaxTest, WithoutItsChildAFreshChannelLeavesTheStreamAlone) {
  EXPECT_EQ(eax_.EffectIndex(), -1);
  eax_.SetEaxEffect(rig_.stream());
  EXPECT_EQ(rig_.Calls(), kNoCalls);
}

std::vector<unsigned char> Saved(Kvc_EAXStream& eax) {
  KvnFileSaver saver;
  saver.OpenInMemory();
  EXPECT_TRUE(eax.SaveChannel(saver));
  return std::vector<unsigned char>(saver.MemoryData(), saver.MemoryData() + saver.MemorySize());
}

TEST_F(EaxTest, SavesTheIndexLittleEndianUnderEAXE) {
  const std::pair<float, std::vector<unsigned char>> rows[] = {
      {3, {'E', 'A', 'X', 'E', 4, 0, 0, 0, 3, 0, 0, 0}},
      {-1, {'E', 'A', 'X', 'E', 4, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
      {300, {'E', 'A', 'X', 'E', 4, 0, 0, 0, 0x2C, 0x01, 0, 0}},
  };
  for (const auto& r : rows) {
    eax_.setEffect(r.first);
    const std::vector<unsigned char> bytes = Saved(eax_);
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 12, bytes.end()), r.second) << r.first;
  }
}

TEST_F(EaxTest, LoadingSetsTheIndexAndTheNextStreamOperationAppliesItOnce) {
  Kvc_EAXStream source;
  source.setEffect(8);
  const std::vector<unsigned char> bytes = Saved(source);
  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(bytes.data(), bytes.size()));
  ASSERT_TRUE(eax_.LoadChannel(loader, nullptr));
  EXPECT_EQ(eax_.EffectIndex(), 8);
  eax_.SetEaxEffect(rig_.stream());
  float mix = 0;
  EXPECT_TRUE(BassProbe_GetEAXMix(rig_.stream()->handle, &mix));
  EXPECT_EQ(mix, 1.0f);
  int env;
  float vol, decay, damp;
  EXPECT_TRUE(BassProbe_GetEAXParameters(&env, &vol, &decay, &damp));
  EXPECT_EQ(env, 8);
  EXPECT_EQ(vol, 0.5f);
  EXPECT_EQ(decay, 2.886f);
  EXPECT_EQ(damp, 1.304f);
  rig_.Mark();
  eax_.SetEaxEffect(rig_.stream());
  EXPECT_EQ(rig_.Calls(), kNoCalls) << "without the child, only once";
}

TEST_F(EaxTest, LoadingWithoutEAXEKeepsTheIndexAndRaisesTheFlag) {
  Kvn_Channel plain;
  plain.SetChannelName("EAXStream");
  KvnFileSaver saver;
  saver.OpenInMemory();
  ASSERT_TRUE(plain.SaveChannel(saver));
  const unsigned char shortBlock[] = {'E', 'A', 'X', 'E', 2, 0, 0, 0, 9, 9};
  std::vector<unsigned char> withShortBytes(saver.MemoryData(), saver.MemoryData() + saver.MemorySize());
  withShortBytes.insert(withShortBytes.end(), shortBlock, shortBlock + sizeof shortBlock);
  const std::vector<unsigned char>& withShort = withShortBytes;
  const std::vector<unsigned char> without(saver.MemoryData(), saver.MemoryData() + saver.MemorySize());
  for (const auto* bytes : {&without, &withShort}) {
    Kvc_EAXStream eax;
    eax.setEffect(12);
    eax.hasChanged();
    KvnFileLoader loader;
    ASSERT_TRUE(loader.OpenMemory(bytes->data(), bytes->size()));
    EXPECT_TRUE(eax.LoadChannel(loader, nullptr));
    EXPECT_EQ(eax.EffectIndex(), 12);
    EXPECT_TRUE(eax.ChangePending());
  }
}

TEST_F(EaxTest, CopiesCarryTheIndexAndTheFlag) {
  eax_.setEffect(7);
  Kvc_EAXStream copy(eax_);
  EXPECT_EQ(copy.EffectIndex(), 7);
  EXPECT_TRUE(copy.ChangePending());
  Kvc_EAXStream assigned;
  EXPECT_EQ(&(assigned = eax_), &assigned);
  EXPECT_EQ(assigned.EffectIndex(), 7);
  EXPECT_TRUE(assigned.ChangePending());
  EXPECT_EQ(assigned.GetEngineContext(), &context_);
}

}  // namespace
