// The channel base: records, child slots and links, the engine's block.
#include <gtest/gtest.h>
#include <string.h>

#include "meshwerk/channel.h"
#include "meshwerk/file.h"
#include "meshwerk/guid.h"

namespace {

TEST(ChannelRecords, ChildCreationStartsWithTheEnginesDefaults) {
  const ChildCreation r;
  char text[meshwerk::kGuidTextSize];
  meshwerk::GuidToText(r.type.classGuid, text);
  EXPECT_STREQ(text, "11111111-1111-1111-1111-111111111111");
  EXPECT_EQ(r.index, -1);
  EXPECT_FALSE(r.optional);
  EXPECT_FALSE(r.hidden);
  EXPECT_TRUE(meshwerk::GuidEqual(r.guid, meshwerk::kNullGuid));
  EXPECT_EQ(r.word0, 0u);
  EXPECT_EQ(r.word1, 1u);
  EXPECT_STREQ(r.displayName, "");
}

TEST(ChannelRecords, GuidTextRoundTripsAndRefusesMalformedText) {
  GUID g;
  ASSERT_TRUE(meshwerk::GuidFromText("be69ccc4-cfc1-4362-ac81-767d199bbfc3", &g));
  EXPECT_TRUE(meshwerk::GuidEqual(g, meshwerk::kValueChannelType));
  char text[meshwerk::kGuidTextSize];
  meshwerk::GuidToText(g, text);
  EXPECT_STREQ(text, "BE69CCC4-CFC1-4362-AC81-767D199BBFC3");
  const char* bad[] = {"", "BE69CCC4-CFC1-4362-AC81-767D199BBFC", "BE69CCC4-CFC1-4362-AC81-767D199BBFC3X",
                       "BE69CCC4_CFC1-4362-AC81-767D199BBFC3", "GE69CCC4-CFC1-4362-AC81-767D199BBFC3"};
  for (const char* t : bad) EXPECT_FALSE(meshwerk::GuidFromText(t, &g)) << t;
}

TEST(ChildSlots, OnlyAValueChannelLinksToADefinedValueSlot) {
  Kvn_Channel parent;
  ChildCreation r;
  r.type.typeGuid = meshwerk::kValueChannelType;
  parent.SetChildCreationCount(0);
  parent.SetChildCreateType(r, 0);
  parent.SetChildCreateType(r, 2);
  EXPECT_EQ(parent.GetChildSlotCount(), 3);
  EXPECT_NE(parent.GetChildSlot(2), nullptr);
  EXPECT_EQ(parent.GetChildSlot(1), nullptr) << "never defined";

  Kvn_ValueChannel value(4.0f);
  Kvn_Channel other;
  EXPECT_TRUE(parent.LinkChild(0, &value));
  EXPECT_FALSE(parent.LinkChild(1, &value)) << "undefined slot";
  EXPECT_FALSE(parent.LinkChild(2, &other)) << "not a value channel";
  EXPECT_FALSE(parent.LinkChild(-1, &value));
  EXPECT_EQ(parent.GetChild(0), &value);
  for (int i : {-1, 1, 2, 3, 1000}) EXPECT_EQ(parent.GetChild(i), nullptr) << i;
  EXPECT_TRUE(parent.LinkChild(0, nullptr));
  EXPECT_EQ(parent.GetChild(0), nullptr);
}

TEST(ChildSlots, CreationCountReservesSlotsWithoutDefiningThem) {
  Kvn_Channel parent;
  parent.SetChildCreationCount(1);
  EXPECT_EQ(parent.GetChildSlotCount(), 1);
  EXPECT_EQ(parent.GetChildSlot(0), nullptr);
  ChildCreation r;
  r.type.typeGuid = meshwerk::kValueChannelType;
  parent.SetChildCreateType(r, 0);
  EXPECT_EQ(parent.GetChildSlotCount(), 1);
}

TEST(ChannelBlock, EnginePartRoundTripsAndRefusesDamage) {
  Kvn_ValueChannel value(2.5f);
  value.SetChannelName("LumoSaver");
  KvnFileSaver saver;
  saver.OpenInMemory();
  ASSERT_TRUE(value.SaveChannel(saver));
  std::vector<unsigned char> bytes(saver.MemoryData(), saver.MemoryData() + saver.MemorySize());

  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(bytes.data(), bytes.size()));
  Kvn_ValueChannel loaded;
  Kvn_ChannelGroup group;
  ASSERT_TRUE(loaded.LoadChannel(loader, &group));
  EXPECT_STREQ(loaded.GetChannelName(), "LumoSaver");
  EXPECT_EQ(loaded.GetValue(), 2.5f);
  EXPECT_EQ(loaded.GetChannelGroup(), &group);

  // The name length is at byte 8 + 8 + 20 of the file.
  std::vector<unsigned char> longName = bytes;
  longName[36] = 0xFF;
  std::vector<unsigned char> oldVersion = bytes;
  oldVersion[16] = 9;
  struct Row {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  const Row rows[] = {{"name length beyond the block", longName}, {"unknown block version", oldVersion}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    KvnFileLoader l;
    ASSERT_TRUE(l.OpenMemory(r.bytes.data(), r.bytes.size()));
    Kvn_ValueChannel v;
    EXPECT_FALSE(v.LoadChannel(l, nullptr));
  }
}

TEST(ChannelCopy, CopiesNameSlotsAndLinksButNotIdentity) {
  Kvn_Channel a;
  a.SetChannelName("A");
  ChildCreation r;
  r.type.typeGuid = meshwerk::kValueChannelType;
  a.SetChildCreateType(r, 0);
  Kvn_ValueChannel v(1.0f);
  ASSERT_TRUE(a.LinkChild(0, &v));
  Kvn_Channel b(a);
  a.SetChannelName("changed");
  EXPECT_STREQ(b.GetChannelName(), "A");
  EXPECT_EQ(b.GetChild(0), &v);
  Kvn_Channel c;
  c = b;
  EXPECT_STREQ(c.GetChannelName(), "A");
}

TEST(DebugMessages, TheContextsTwoSinksKeepWhatTheyReceive) {
  Kvn_EngineContext context;
  Kvn_Channel channel;
  channel.SetEngineContext(&context);
  channel.GetEngineContext()->errorMessage("Ok");
  channel.GetEngineContext()->channelMessage("second");
  EXPECT_EQ(context.errorMessage.Count(), 1);
  EXPECT_STREQ(context.errorMessage.Text(0), "Ok");
  EXPECT_STREQ(context.channelMessage.Text(0), "second");
  EXPECT_EQ(context.channelMessage.Text(1), nullptr);
  EXPECT_EQ(reinterpret_cast<const char*>(&context.channelMessage) - reinterpret_cast<const char*>(&context.errorMessage),
            static_cast<long>(sizeof(ShowDebugMessage)))
      << "next to each other";
  channel.SetEngineContext(nullptr);
  EXPECT_EQ(channel.GetEngineContext(), &Kvn_EngineContext::Default());
}

}  // namespace
