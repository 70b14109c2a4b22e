// An effect library as the engine sees it: loaded by path, reached through
// its two plain-name exports and the channel's table of virtual operations.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string.h>

#include "meshwerk/guid.h"
#include "stream_rig.h"

namespace {

struct PluginCase {
  const char* path;
  const char* channelName;
  const char* guid;
  DWORD fxType;
  uint32_t BassStream::*slot;
  std::vector<const char*> displayNames;
};

const PluginCase kPlugins[] = {
    {ECHO_PLUGIN_PATH, "EchoStream", "5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614", BASS_FX_DX8_ECHO, &BassStream::echo,
     {"Mix (0/100)", "Feedback (0/100)", "LeftDelay (1/2000)ms", "Rightdelay (1/2000)ms", "Pan delay (0/1)"}},
};

void PrintTo(const PluginCase& c, std::ostream* os) { *os << c.channelName; }

using GetTypeFn = ChannelType* (*)();
using InitDllFn = Kvn_Channel* (*)();

// The engine calls the operations a plug-in appends by their place in the
// table: after the destructor's two entries and the seventeen others.
constexpr int kHasChangedSlot = 19;
constexpr int kStreamOperationSlot = 20;

void* TableEntry(Kvn_Channel* channel, int slot) { return (*reinterpret_cast<void***>(channel))[slot]; }

class PluginLibrary : public ::testing::TestWithParam<PluginCase> {
 protected:
  void SetUp() override {
    handle_ = dlopen(GetParam().path, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    getType_ = reinterpret_cast<GetTypeFn>(dlsym(handle_, "GetType"));
    initDll_ = reinterpret_cast<InitDllFn>(dlsym(handle_, "InitDLL"));
    ASSERT_NE(getType_, nullptr) << "GetType exported by plain name";
    ASSERT_NE(initDll_, nullptr) << "InitDLL exported by plain name";
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }
  void* handle_ = nullptr;
  GetTypeFn getType_ = nullptr;
  InitDllFn initDll_ = nullptr;
};

TEST_P(PluginLibrary, TypeRecordNamesTheChannelAndKeepsTheConstructorsWords) {
  const PluginCase& c = GetParam();
  ChannelType* record = getType_();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(getType_(), record) << "one static record";
  EXPECT_STREQ(record->name, c.channelName);
  char text[meshwerk::kGuidTextSize];
  meshwerk::GuidToText(record->typeGuid, text);
  EXPECT_STREQ(text, c.guid);
  meshwerk::GuidToText(record->classGuid, text);
  EXPECT_STREQ(text, c.guid);
  const ChannelType fresh;
  EXPECT_EQ(record->words[0], fresh.words[0]);
  EXPECT_EQ(record->words[1], 63u);
  EXPECT_EQ(record->words[2], 1u);
  EXPECT_EQ(record->words[3], fresh.words[3]);
  EXPECT_EQ(record->words[4], 0u);
  EXPECT_EQ(record->words[5], fresh.words[5]);
}

TEST_P(PluginLibrary, ChannelDeclaresOneValueChildPerParameter) {
  const PluginCase& c = GetParam();
  Kvn_Channel* channel = initDll_();
  ASSERT_NE(channel, nullptr);
  EXPECT_STREQ(channel->GetChannelName(), c.channelName);
  ASSERT_EQ(channel->GetChildSlotCount(), static_cast<int>(c.displayNames.size()));
  const ChildCreation defaults;
  for (size_t i = 0; i < c.displayNames.size(); ++i) {
    SCOPED_TRACE(i);
    const ChildCreation* slot = channel->GetChildSlot(static_cast<int>(i));
    ASSERT_NE(slot, nullptr);
    EXPECT_STREQ(slot->displayName, c.displayNames[i]);
    EXPECT_STREQ(slot->type.name, c.channelName);
    EXPECT_TRUE(meshwerk::GuidEqual(slot->type.typeGuid, meshwerk::kValueChannelType));
    EXPECT_TRUE(meshwerk::GuidEqual(slot->type.classGuid, meshwerk::kChildCreationDefaultGuid));
    EXPECT_EQ(slot->index, static_cast<int32_t>(i));
    EXPECT_FALSE(slot->optional);
    EXPECT_FALSE(slot->hidden);
    EXPECT_TRUE(meshwerk::GuidEqual(slot->guid, defaults.guid));
    EXPECT_EQ(slot->word0, 0u);
    EXPECT_EQ(slot->word1, 1u);
    EXPECT_EQ(channel->GetChild(static_cast<int>(i)), nullptr) << "nothing linked yet";
  }
  delete channel;  // through the virtual destructor
}

TEST_P(PluginLibrary, DependsOnTheAudioLibraryOnly) {
  Kvn_Channel* channel = initDll_();
  Kvn_List list;
  channel->DoDependencyInit(&list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_STREQ(list.Item(0), "bass.dll");
  channel->CallChannel();  // does nothing, not even with the stream
  delete channel;
}

TEST_P(PluginLibrary, AppendedOperationsSitAfterTheBaseTable) {
  const PluginCase& c = GetParam();
  StreamRig rig;
  Kvn_Channel* channel = initDll_();
  std::vector<float> values(c.displayNames.size(), 1.0f);
  rig.Attach(*channel, values);

  auto hasChanged = reinterpret_cast<bool (*)(Kvn_Channel*)>(TableEntry(channel, kHasChangedSlot));
  auto streamOperation = reinterpret_cast<void (*)(Kvn_Channel*, BassStream*)>(TableEntry(channel, kStreamOperationSlot));
  streamOperation(channel, rig.stream());
  EXPECT_NE(rig.stream()->*c.slot, 0u) << "the effect lands in its own slot";
  BassProbeEffect effect;
  ASSERT_TRUE(BassProbe_GetEffect(rig.stream()->*c.slot, &effect));
  EXPECT_EQ(effect.type, c.fxType);
  EXPECT_FALSE(hasChanged(channel)) << "the stream operation cleared the flag";
  delete channel;
}

INSTANTIATE_TEST_SUITE_P(Effects, PluginLibrary, ::testing::ValuesIn(kPlugins),
                         [](const ::testing::TestParamInfo<PluginCase>& info) {
                           return std::string(info.param.channelName);
                         });

}  // namespace
