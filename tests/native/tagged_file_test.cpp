// The engine's tagged files: round trips, and damaged files refused whole.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "meshwerk/file.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Header() { return {'K', 'V', 'N', 'F', 1, 0, 0, 0}; }
Bytes Block(const char* tag, const Bytes& data, uint32_t announced) {
  Bytes b(tag, tag + 4);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(announced >> (8 * i)));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}
Bytes Block(const char* tag, const Bytes& data) { return Block(tag, data, static_cast<uint32_t>(data.size())); }
Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + "/" + name + "_" + std::to_string(getpid());
}

TEST(TaggedFile, BlocksWrittenToDiskAreFoundByTagInAnyOrder) {
  const std::string path = TempPath("roundtrip.kvn");
  {
    KvnFileSaver saver;
    ASSERT_TRUE(saver.OpenForWrite(path.c_str(), 0));
    const char text[] = "C:\\Projects\\Sample";
    const uint32_t interval = 16;
    const unsigned char flag = 1;
    EXPECT_EQ(saver.SaveTag("SCFP"), 1);
    EXPECT_EQ(saver.SaveBlockSize(sizeof text), 1);
    EXPECT_EQ(saver.SaveDataToFile(text, sizeof text), 1);
    EXPECT_EQ(saver.SaveTag("SCTI"), 1);
    EXPECT_EQ(saver.SaveBlockSize(4), 1);
    EXPECT_EQ(saver.SaveDataToFile(&interval, 4), 1);
    EXPECT_EQ(saver.SaveTag("SCQC"), 1);
    EXPECT_EQ(saver.SaveBlockSize(1), 1);
    EXPECT_EQ(saver.SaveDataToFile(&flag, 1), 1);
    EXPECT_TRUE(saver.Close());
  }
  KvnFileLoader loader;
  ASSERT_TRUE(loader.Open(path.c_str()));
  EXPECT_EQ(loader.BlockCount(), 3);
  char tti[] = "SCTI", tfp[] = "SCFP", tsp[] = "SCSP";
  ASSERT_TRUE(loader.GetInfoIfTag(tti));
  uint32_t interval = 0;
  EXPECT_EQ(loader.GetTagDataSize(), 4u);
  loader.CopyTagDataToPointer(&interval);
  EXPECT_EQ(interval, 16u);
  ASSERT_TRUE(loader.GetInfoIfTag(tfp));
  char text[64] = {};
  loader.CopyTagDataToPointer(text);
  EXPECT_STREQ(text, "C:\\Projects\\Sample");
  EXPECT_FALSE(loader.GetInfoIfTag(tsp));
  EXPECT_EQ(loader.GetTagDataSize(), 0u) << "no current block after a miss";
  remove(path.c_str());
}

TEST(TaggedFile, SaverRefusesCallsOutOfOrderAndMismatchedSizesWithoutDamage) {
  KvnFileSaver saver;
  EXPECT_EQ(saver.SaveTag("ABCD"), 0) << "not open";
  ASSERT_TRUE(saver.OpenInMemory());
  const unsigned char data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(saver.SaveBlockSize(4), 0) << "size before tag";
  EXPECT_EQ(saver.SaveTag("ABC"), 0) << "three letters";
  EXPECT_EQ(saver.SaveTag("ABCDE"), 0) << "five letters";
  EXPECT_EQ(saver.SaveTag("ABCD"), 1);
  EXPECT_EQ(saver.SaveBlockSize(4), 1);
  EXPECT_EQ(saver.SaveDataToFile(data, 8), 0) << "more data than announced";
  EXPECT_EQ(saver.SaveTag("GOOD"), 1);
  EXPECT_EQ(saver.SaveBlockSize(8), 1);
  EXPECT_EQ(saver.SaveDataToFile(data, 8), 1);
  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(saver.MemoryData(), saver.MemorySize()));
  EXPECT_EQ(loader.BlockCount(), 1) << "only the whole block reached the file";
}

TEST(TaggedFile, OpenForWriteFailsForAnUnwritablePath) {
  KvnFileSaver saver;
  EXPECT_FALSE(saver.OpenForWrite("/nonexistent-dir/x/screensaver.cfg", 0));
  EXPECT_FALSE(saver.IsOpen());
  EXPECT_EQ(saver.SaveTag("SCTI"), 0);
  KvnFileLoader loader;
  EXPECT_FALSE(loader.Open("/nonexistent-dir/x/screensaver.cfg"));
}

TEST(TaggedFile, DamagedFilesAreRefusedWhole) {
  const Bytes good = Join({Header(), Block("SCTI", {16, 0, 0, 0})});
  Bytes truncatedData = good;
  truncatedData.pop_back();
  struct Row {
    const char* name;
    Bytes bytes;
  };
  const Row rows[] = {
      {"empty", {}},
      {"shorter than the header", {'K', 'V', 'N'}},
      {"wrong magic", Join({Bytes{'K', 'V', 'N', 'G', 1, 0, 0, 0}, Block("SCTI", {1, 2, 3, 4})})},
      {"unknown version", Join({Bytes{'K', 'V', 'N', 'F', 2, 0, 0, 0}, Block("SCTI", {1, 2, 3, 4})})},
      {"block header cut", Join({Header(), Bytes{'S', 'C', 'T', 'I', 4, 0}})},
      {"data cut short", truncatedData},
      {"size past the end", Join({Header(), Block("SCTI", {1, 2, 3, 4}, 0xFFFFFFF0u)})},
      {"size one past the end", Join({Header(), Block("SCTI", {1, 2, 3, 4}, 5)})},
      {"trailing bytes", Join({good, Bytes{0, 0, 0}})},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    KvnFileLoader loader;
    EXPECT_FALSE(loader.OpenMemory(r.bytes.data(), r.bytes.size()));
    EXPECT_EQ(loader.BlockCount(), 0);
    char tag[] = "SCTI";
    EXPECT_FALSE(loader.GetInfoIfTag(tag));
  }
  KvnFileLoader loader;
  EXPECT_TRUE(loader.OpenMemory(good.data(), good.size())) << "the undamaged file";
}

TEST(TaggedFile, BoundedCopyNeverWritesPastTheDestination) {
  const Bytes file = Join({Header(), Block("BIGG", Bytes(300, 0xAB)), Block("TINY", {7})});
  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(file.data(), file.size()));
  char big[] = "BIGG", tiny[] = "TINY";
  ASSERT_TRUE(loader.GetInfoIfTag(big));
  unsigned char field[260];
  memset(field, 0, sizeof field);
  EXPECT_EQ(loader.CopyTagData(field, sizeof field), 260u);
  EXPECT_EQ(field[259], 0xAB);
  ASSERT_TRUE(loader.GetInfoIfTag(tiny));
  uint32_t word = 0xFFFFFFFF;
  EXPECT_EQ(loader.CopyTagData(&word, 4), 1u);
  EXPECT_EQ(word, 7u) << "the rest zero-filled";
}

TEST(TaggedFile, ChannelWindowsSeparateTheBlocksOfEachChannel) {
  const Bytes file = Join({Header(), Block("KVCH", {1}), Block("XXXX", {1, 1, 1, 1}), Block("KVCH", {2}),
                           Block("EAXE", {3, 0, 0, 0})});
  KvnFileLoader loader;
  ASSERT_TRUE(loader.OpenMemory(file.data(), file.size()));
  char marker[] = "XXXX", eax[] = "EAXE";
  ASSERT_TRUE(loader.EnterChannel(1));
  EXPECT_FALSE(loader.GetInfoIfTag(marker)) << "belongs to channel 0";
  EXPECT_TRUE(loader.GetInfoIfTag(eax));
  ASSERT_TRUE(loader.EnterChannel(0));
  EXPECT_TRUE(loader.GetInfoIfTag(marker));
  EXPECT_FALSE(loader.GetInfoIfTag(eax));
  EXPECT_FALSE(loader.EnterChannel(2));
  loader.LeaveChannel();
  EXPECT_TRUE(loader.GetInfoIfTag(eax));
}

}  // namespace
