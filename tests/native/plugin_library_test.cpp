// What the nine effect libraries share, as the engine sees them: loaded by
// path, reached through their two plain-name exports and the channel's table
// of virtual operations.
#include <gtest/gtest.h>
#include <string.h>

#include "meshwerk/file.h"
#include "meshwerk/guid.h"
#include "plugin_catalog.h"
#include "stream_rig.h"

namespace {

class PluginLibrary : public ::testing::TestWithParam<PluginCase> {
 protected:
  void SetUp() override {
    library_ = std::make_unique<LoadedPlugin>(GetParam());
    ASSERT_TRUE(library_->ok()) << "GetType and InitDLL exported by plain name from " << GetParam().path;
  }
  std::unique_ptr<LoadedPlugin> library_;
};

TEST_P(PluginLibrary, TypeRecordNamesTheChannelAndKeepsTheConstructorsWords) {
  const PluginCase& c = GetParam();
  ChannelType* record = library_->GetType();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(library_->GetType(), record) << "one static record";
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
  Kvn_Channel* channel = library_->InitDLL();
  ASSERT_NE(channel, nullptr);
  EXPECT_STREQ(channel->GetChannelName(), c.channelName);
  ASSERT_EQ(channel->GetChildSlotCount(), static_cast<int>(c.displayNames.size()));
  const ChildCreation defaults;
  for (size_t i = 0; i < c.displayNames.size(); ++i) {
    SCOPED_TRACE(i);
    const ChildCreation* slot = channel->GetChildSlot(static_cast<int>(i));
    ASSERT_NE(slot, nullptr);
    EXPECT_STREQ(slot->displayName, c.displayNames[i]);
    EXPECT_STREQ(slot->type.name, c.childTypeName);
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

TEST_P(PluginLibrary, DependsOnTheAudioLibraryOnlyAndCallChannelDoesNothing) {
  StreamRig rig;
  Kvn_Channel* channel = library_->InitDLL();
  Kvn_List list;
  channel->DoDependencyInit(&list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_STREQ(list.Item(0), "bass.dll");
  channel->CallChannel();
  EXPECT_EQ(rig.Calls(), kNoCalls);
  delete channel;
}

TEST_P(PluginLibrary, StreamOperationSitsAfterTheBaseTableAndUsesOnlyItsOwnSlot) {
  const PluginCase& c = GetParam();
  StreamRig rig;
  Kvn_Channel* channel = library_->InitDLL();
  rig.Attach(*channel, c.baseline);
  StreamOperation(channel, rig.stream());
  EXPECT_FALSE(HasChanged(channel)) << "the stream operation cleared the flag";
  BassStream expected{};
  expected.handle = rig.stream()->handle;
  if (c.slot != nullptr) {
    BassProbeEffect effect;
    ASSERT_TRUE(BassProbe_GetEffect(rig.stream()->*c.slot, &effect));
    EXPECT_EQ(effect.type, c.fxType);
    expected.*c.slot = rig.stream()->*c.slot;
  } else {
    float mix = 0;
    EXPECT_TRUE(BassProbe_GetEAXMix(rig.stream()->handle, &mix)) << "EAX: the stream's mix, no slot";
    EXPECT_EQ(BassProbe_EffectCount(rig.stream()->handle), 0u);
  }
  EXPECT_EQ(memcmp(rig.stream(), &expected, sizeof expected), 0) << "no other slot touched";
  delete channel;
}

TEST_P(PluginLibrary, SavedBlockIsTheEnginePartThenTheOwnTagAndLoadsBack) {
  const PluginCase& c = GetParam();
  Kvn_Channel* channel = library_->InitDLL();
  KvnFileSaver saver;
  saver.OpenInMemory();
  ASSERT_TRUE(channel->SaveChannel(saver));
  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(saver.MemoryData(), saver.MemorySize()));
  EXPECT_EQ(loader.BlockCount(), 2);
  char own[5];
  memcpy(own, c.saveTag, 5);
  ASSERT_TRUE(loader.GetInfoIfTag(own));
  EXPECT_EQ(loader.GetTagDataSize(), 4u);
  Kvn_Channel* loaded = library_->InitDLL();
  EXPECT_TRUE(loaded->LoadChannel(loader, nullptr));

  KvnFileSaver closed;  // a base save that fails writes nothing of the plug-in's own
  EXPECT_FALSE(channel->SaveChannel(closed));
  KvnFileLoader empty;
  const unsigned char headerOnly[] = {'K', 'V', 'N', 'F', 1, 0, 0, 0};
  ASSERT_TRUE(empty.OpenMemory(headerOnly, sizeof headerOnly));
  EXPECT_FALSE(loaded->LoadChannel(empty, nullptr)) << "no engine part";
  delete loaded;
  delete channel;
}

INSTANTIATE_TEST_SUITE_P(Effects, PluginLibrary, ::testing::ValuesIn(Plugins()),
                         [](const ::testing::TestParamInfo<PluginCase>& info) {
                           return std::string(info.param.channelName);
                         });

TEST(AllDx8Effects, EightChannelsOnOneStreamEachKeepTheirOwnSlot) {
  StreamRig rig;
  std::vector<std::unique_ptr<LoadedPlugin>> libraries;
  std::vector<Kvn_Channel*> channels;
  for (const PluginCase& c : Plugins()) {
    if (c.slot == nullptr) continue;
    libraries.push_back(std::make_unique<LoadedPlugin>(c));
    channels.push_back(libraries.back()->InitDLL());
    rig.Attach(*channels.back(), c.baseline);
    StreamOperation(channels.back(), rig.stream());
  }
  ASSERT_EQ(channels.size(), 8u);
  EXPECT_EQ(BassProbe_EffectCount(rig.stream()->handle), 8u);
  for (const PluginCase& c : Plugins()) {
    if (c.slot == nullptr) continue;
    SCOPED_TRACE(c.channelName);
    BassProbeEffect effect;
    ASSERT_TRUE(BassProbe_GetEffect(rig.stream()->*c.slot, &effect));
    EXPECT_EQ(effect.type, c.fxType);
    EXPECT_EQ(effect.paramSets, 1u);
  }
  for (Kvn_Channel* channel : channels) delete channel;
}

}  // namespace
