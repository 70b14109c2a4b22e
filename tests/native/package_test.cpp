// The appended data package against real files: saverpack's packages,
// 7z archives made by 7zz with every coder the reader must support, and a
// table of crafted damaged packages with the refusal each gets.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "host/package/crc32.h"
#include "host/package/package_reader.h"
#include "host/package/pointer_array.h"
#include "host/system/test_platform.h"
#include "package_writer.h"

namespace {

using saver::PackageReader;
using saver::TestPlatform;
using saverpack::Bytes;
using saverpack::Entry;

// ---- helpers ---------------------------------------------------------------

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/package_test_XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Names of the files in the folder.
  std::vector<std::string> Files() const {
    std::vector<std::string> out;
    FILE* p = popen(("ls -1 '" + path_ + "'").c_str(), "r");
    char line[512];
    while (p && fgets(line, sizeof line, p)) {
      line[strcspn(line, "\n")] = 0;
      out.push_back(line);
    }
    if (p) pclose(p);
    return out;
  }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}
void PutU32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void PutName(Bytes& out, const std::string& s) {
  PutU32(out, static_cast<uint32_t>(s.size() + 1));
  out.insert(out.end(), s.begin(), s.end());
  out.push_back(0);
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
uint32_t Crc(const Bytes& b) { return saver::Crc32Table().Compute(b.data(), b.size()); }

// A program image that holds no marker.
Bytes Program(size_t size = 4096) {
  Bytes image(size);
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<unsigned char>((i * 131) ^ (i >> 3));
  image[0] = 'M';
  image[1] = 'Z';
  return image;
}

// A package that saverpack writes behind the program image.
Bytes Packaged(const std::vector<Entry>& entries, saverpack::Form form, const Bytes& program = Program()) {
  Bytes package;
  std::string error;
  EXPECT_TRUE(saverpack::BuildPackage(entries, form, static_cast<uint32_t>(program.size()), &package, &error)) << error;
  return Cat({program, package});
}

// The reader sees the program through this platform.
struct Host {
  TempFolder folder;
  TestPlatform platform;
  std::string program;

  explicit Host(const Bytes& file, const std::string& name = "Sample Saver.scr") {
    program = folder / name;
    WriteFile(program, file);
    platform.SetCommandLine("\"" + program + "\" /s");
    platform.SetTemporaryFolder(folder.path());
    platform.SetTickCount(12345);
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : platform.MessageBoxes()) out.push_back(b.text + "|" + b.caption);
    return out;
  }
};

std::string Lookup(PackageReader& reader, const char* key, const char* section = "APPDATA") {
  char buffer[259];
  memset(buffer, 0, sizeof buffer);
  if (!reader.Lookup(key, buffer, sizeof buffer - 1, section)) return "(refused)";
  return buffer;
}

const std::vector<Entry> kTwoEntries = {{"APPDATA", "ProjectName", Text(std::string("Sample Project") + '\0')},
                                        {"DATA", "Extra", Text("payload")}};

// ---- CRC-32 and the table ---------------------------------------------------

TEST(Crc32, StandardCheckValueAndTable) {
  const saver::Crc32Table table;
  EXPECT_EQ(table.Compute("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(table.Compute("", 0), 0u);
  EXPECT_EQ(table.Value(1), 0x77073096u);
  EXPECT_EQ(table.Value(255), 0x2D02EF8Du);
}

TEST(PointerArrayTest, GrowsByAQuarterPlus32AndResizesWithNulls) {
  saver::PointerArray a;
  int x = 0;
  std::vector<int32_t> capacities;
  for (int i = 0; i < 123; ++i) {
    EXPECT_EQ(a.Append(&x), i);
    if (capacities.empty() || capacities.back() != a.Capacity()) capacities.push_back(a.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{32, 72, 122, 184}));
  EXPECT_EQ(a.Get(-1), nullptr);
  EXPECT_EQ(a.Get(123), nullptr);
  a.Set(200, &x);
  EXPECT_EQ(a.Count(), 201);
  EXPECT_EQ(a.Get(150), nullptr) << "new slots are null";
  EXPECT_EQ(a.Get(200), &x);
  a.Set(-5, &x);
  EXPECT_EQ(a.Count(), 201);
  EXPECT_FALSE(a.Resize(-1));
  EXPECT_FALSE(a.Resize(0x7FFFFFFF)) << "beyond a 32-bit address space";
  EXPECT_TRUE(a.Resize(3));
  EXPECT_EQ(a.Count(), 3);
}

// ---- finding the package ---------------------------------------------------

TEST(OwnFile, EveryCommandLineFormGivesTheProgramPath) {
  Host host(Packaged(kTwoEntries, saverpack::Form::kRaw), "Sample.SCR");
  const std::string p = host.program;
  const std::string lines[] = {"\"" + p + "\" /s", "\"" + p + "\" /p 1234", "\"" + p + "\" /c:5678",
                               "\"" + p + "\"", p, p + " /S", "\"" + p + "\"/s"};
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    host.platform.SetCommandLine(line);
    PackageReader reader(host.platform);
    EXPECT_EQ(Lookup(reader, "ProjectName"), "Sample Project");
  }
  EXPECT_TRUE(host.platform.MessageBoxes().empty());
  EXPECT_EQ(host.platform.OpenFileCount(), 0) << "every reader closed its file";
}

TEST(OwnFile, AMissingProgramCostsTwentyReportedReadsAndTheHeaderMessage) {
  Host host(Packaged(kTwoEntries, saverpack::Form::kRaw));
  host.platform.SetCommandLine("\"" + host.folder / "gone.scr" + "\" /s");
  PackageReader reader(host.platform);
  std::vector<std::string> expected(20, "6|");
  expected.push_back("Data header not found!|");
  EXPECT_EQ(host.Boxes(), expected);
  EXPECT_EQ(reader.EntryCount(), 0);
  EXPECT_EQ(Lookup(reader, "ProjectName"), "(refused)");
  EXPECT_EQ(host.Boxes().size(), 21u) << "a lookup adds no message";
}

// Places the package's marker where the case says and the trailer where it points.
TEST(FindingThePackage, TrailerMarkerAndScan) {
  const Bytes raw = Packaged(kTwoEntries, saverpack::Form::kRaw, Bytes());  // package alone, trailer 0
  const Bytes package(raw.begin(), raw.end() - 4);
  Bytes lowerMarker = package;
  for (int i = 0; i < 36; ++i) lowerMarker[static_cast<size_t>(i)] = static_cast<unsigned char>(tolower(lowerMarker[static_cast<size_t>(i)]));

  struct Row {
    const char* name;
    size_t imageSize;   // bytes of program image before the package
    bool lower;         // marker written in lower case
    int64_t trailer;    // -1: the marker's offset
    bool found;
  };
  const Row rows[] = {
      {"trailer points at the marker", 5000, false, -1, true},
      {"lower-case marker at the trailer's offset", 5000, true, -1, true},
      {"lower-case marker found only by the scan", 5000, true, 0, false},
      {"trailer wrong, marker in the first block", 5000, false, 0, true},
      {"trailer wrong, marker at block offset 9962", 9999 * 3 + 9962, false, 12, true},
      {"trailer wrong, marker at block offset 9963", 9999 * 3 + 9963, false, 12, false},
      {"trailer wrong, marker across two blocks", 9999 * 2 + 9990, false, 12, false},
      {"trailer wrong, marker in block 20", 9999 * 19 + 10, false, 0x7FFFFFF0, true},
      {"trailer wrong, marker beyond 20 blocks", 9999 * 20 + 10, false, 0x7FFFFFF0, false},
      {"trailer beyond the file", 5000, false, 0x7FFFFFF0, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Bytes image = Program(r.imageSize);
    const Bytes& body = r.lower ? lowerMarker : package;
    Bytes file = Cat({image, body});
    PutU32(file, static_cast<uint32_t>(r.trailer < 0 ? static_cast<int64_t>(r.imageSize) : r.trailer));
    // The raw form's data offset counts from the marker, wherever it is.
    Host host(file);
    PackageReader reader(host.platform);
    EXPECT_EQ(Lookup(reader, "ProjectName") == "Sample Project", r.found);
    if (!r.found) {
      ASSERT_FALSE(host.platform.MessageBoxes().empty());
      EXPECT_EQ(host.platform.MessageBoxes().back().text, "Data header not found!");
    } else {
      EXPECT_TRUE(host.platform.MessageBoxes().empty());
      EXPECT_EQ(reader.MarkerOffset(), static_cast<int32_t>(r.imageSize));
    }
  }
}

TEST(FindingThePackage, TheScansCaptionIsTheTextReadAtTheTrailersOffset) {
  Bytes file = Program(3000);
  memcpy(file.data() + 100, "NotTheMarker\0tail", 17);
  PutU32(file, 100);
  Host host(file);
  PackageReader reader(host.platform);
  ASSERT_EQ(host.platform.MessageBoxes().size(), 1u);
  EXPECT_EQ(host.platform.MessageBoxes()[0].text, "Data header not found!");
  EXPECT_EQ(host.platform.MessageBoxes()[0].caption, "NotTheMarker");
  EXPECT_EQ(host.platform.MessageBoxes()[0].owner, nullptr);
  EXPECT_EQ(host.platform.MessageBoxes()[0].type, saver::kMbOk);
}

// ---- lookups ---------------------------------------------------------------

TEST(Lookup, NamesIgnoreCaseFirstMatchWinsAndDataFollowEveryEarlierEntry) {
  const std::vector<Entry> entries = {
      {"other", "ProjectName", Text("xxxxxxxxxx")},  // another section: skipped, its size counted
      {"appdata", "PROJECTNAME", Text(std::string("First") + '\0')},
      {"APPDATA", "projectname", Text(std::string("Second") + '\0')},
      {"DATA", "Extra", Text(std::string("extra") + '\0')},
  };
  for (saverpack::Form form : {saverpack::Form::kRaw, saverpack::Form::kLzma}) {
    SCOPED_TRACE(form == saverpack::Form::kRaw ? "raw" : "lzma");
    Host host(Packaged(entries, form));
    PackageReader reader(host.platform);
    EXPECT_EQ(reader.Form(), form == saverpack::Form::kRaw ? 0 : 2);
    EXPECT_EQ(Lookup(reader, "ProjectName"), "First");
    EXPECT_EQ(Lookup(reader, "projectname", nullptr), "First") << "null section is APPDATA";
    EXPECT_EQ(Lookup(reader, "Extra", "data"), "extra");
    EXPECT_EQ(Lookup(reader, "Extra"), "(refused)") << "not in APPDATA";
    EXPECT_EQ(Lookup(reader, "Missing"), "(refused)");
    EXPECT_TRUE(host.platform.MessageBoxes().empty());
  }
}

TEST(Lookup, RawPackageOfOneEntryHasDataOffset84) {
  const Bytes data = Text("twenty-one bytes.....");
  ASSERT_EQ(data.size(), 21u);
  const Bytes program = Program(1000);
  const Bytes file = Packaged({{"APPDATA", "PROJECTNAME", data}}, saverpack::Form::kRaw, program);
  EXPECT_EQ(file.size(), 1000u + 105 + 4) << "trailer at M + 105";
  EXPECT_EQ(memcmp(file.data() + 1000 + 84, data.data(), 21), 0) << "data at M + 84 to M + 104";
  Host host(file);
  PackageReader reader(host.platform);
  EXPECT_EQ(reader.DataOffset(), 84);
  char buffer[32] = {0};
  ASSERT_TRUE(reader.Lookup("ProjectName", buffer, sizeof buffer, "APPDATA"));
  EXPECT_EQ(memcmp(buffer, data.data(), 21), 0);
}

TEST(Lookup, CrcMismatchShowsOneBoxPerLookupAndLeavesTheData) {
  Bytes file = Packaged(kTwoEntries, saverpack::Form::kRaw);
  // Change one byte of "Sample Project" in the data area.
  const std::string needle = "Sample Project";
  auto at = std::search(file.begin(), file.end(), needle.begin(), needle.end());
  ASSERT_NE(at, file.end());
  *at = 's';
  Host host(file);
  PackageReader reader(host.platform);
  for (int i = 1; i <= 2; ++i) {
    char buffer[259] = {0};
    EXPECT_FALSE(reader.Lookup("ProjectName", buffer, 258, nullptr));
    EXPECT_STREQ(buffer, "sample Project") << "the buffer already holds the data";
    ASSERT_EQ(host.platform.MessageBoxes().size(), static_cast<size_t>(i));
    EXPECT_EQ(host.platform.MessageBoxes().back().text, "Crc error corrupt file");
    EXPECT_EQ(host.platform.MessageBoxes().back().caption, "ProjectName") << "the key as stored";
  }
}

TEST(Lookup, WithoutABufferTheReaderKeepsACopyAndChecksNoCrc) {
  Bytes file = Packaged(kTwoEntries, saverpack::Form::kRaw);
  const std::string needle = "payload";
  auto at = std::search(file.begin(), file.end(), needle.begin(), needle.end());
  *at = 'P';
  Host host(file);
  PackageReader reader(host.platform);
  ASSERT_TRUE(reader.Lookup("Extra", nullptr, 0, "DATA"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.CopiedData()), reader.CopiedSize()), "Payload");
  ASSERT_TRUE(reader.Lookup("ProjectName", nullptr, 0, nullptr));
  EXPECT_EQ(reader.CopiedSize(), 15u) << "the second copy replaced the first";
  EXPECT_TRUE(host.platform.MessageBoxes().empty());
}

TEST(Lookup, ABufferShorterThanTheEntryIsRefusedUntouched) {
  Host host(Packaged(kTwoEntries, saverpack::Form::kLzma));
  PackageReader reader(host.platform);
  char buffer[16];
  memset(buffer, '#', sizeof buffer);
  EXPECT_FALSE(reader.Lookup("ProjectName", buffer, 14, nullptr)) << "15 bytes do not fit 14";
  for (char c : buffer) EXPECT_EQ(c, '#');
  EXPECT_TRUE(reader.Lookup("ProjectName", buffer, 15, nullptr));
  EXPECT_TRUE(saver::ReadPackageEntry(host.platform, "ProjectName", buffer, 15));
  EXPECT_FALSE(saver::ReadPackageEntry(host.platform, "ProjectName", buffer, -1));
}

// ---- the LZMA form ---------------------------------------------------------

class SevenZipFixtures : public ::testing::Test {
 protected:
  // Runs 7zz in the fixture folder; true when it succeeded.
  bool SevenZip(const std::string& args) {
    const std::string command = "cd '" + folder_.path() + "' && 7zz a -bd -bso0 -bse0 " + args;
    return std::system(command.c_str()) == 0;
  }
  // A package whose LZMA header holds the archive file as made by 7zz.
  Bytes LzmaPackage(const std::string& archive, uint32_t unpacked) {
    const Bytes program = Program(2048);
    Bytes file = Cat({program, Bytes(saver::kPackageMarker, saver::kPackageMarker + 36), Text("LZMA")});
    const Bytes packed = ReadFile(folder_ / archive);
    PutU32(file, unpacked);
    PutU32(file, static_cast<uint32_t>(packed.size()));
    file.insert(file.end(), packed.begin(), packed.end());
    PutU32(file, static_cast<uint32_t>(program.size()));
    return file;
  }
  TempFolder folder_;
};

TEST_F(SevenZipFixtures, EveryCoderTheReaderSupportsAndTheOnesItRefuses) {
  const Bytes block = saverpack::BuildBlock(kTwoEntries);
  // Big enough for the branch filters to have something to do.
  Bytes padding(200000);
  for (size_t i = 0; i < padding.size(); ++i) padding[i] = static_cast<unsigned char>(i % 7 == 0 ? 0xE8 : i * 13);
  WriteFile(folder_ / "block.bin", block);
  WriteFile(folder_ / "a_first.bin", Cat({saverpack::BuildBlock({{"APPDATA", "ProjectName", Text("Wrong")}}), padding}));

  struct Row {
    const char* name;
    std::string args;
    bool loads;
    std::string stdoutText;  // what the extraction printed
  };
  const Row rows[] = {
      {"copy", "-m0=Copy copy.7z block.bin", true, "\nEverything is Ok\n"},
      {"LZMA", "-m0=LZMA lzma.7z block.bin", true, "\nEverything is Ok\n"},
      {"LZMA2", "-m0=LZMA2 lzma2.7z block.bin", true, "\nEverything is Ok\n"},
      {"x86 BCJ + LZMA", "-m0=BCJ -m1=LZMA bcj.7z block.bin", true, "\nEverything is Ok\n"},
      {"BCJ2, four coders", "-m0=BCJ2 -m1=LZMA:d20 -m2=LZMA:d20 -m3=LZMA:d20 -mb0s0:1 -mb0s1:2 -mb0s2:3 bcj2.7z block.bin",
       true, "\nEverything is Ok\n"},
      {"two items: the last wins", "-ms=on -mqs=off -m0=LZMA two.7z a_first.bin block.bin", true,
       "\nEverything is Ok\n"},
      {"PPMd: not supported", "-m0=PPMd ppmd.7z block.bin", false, ""},
      {"encrypted: not supported", "-m0=LZMA -psecret enc.7z block.bin", false, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(SevenZip(r.args)) << "7zz " << r.args;
    const size_t end = r.args.find(".7z") + 3;
    const size_t begin = r.args.rfind(' ', end - 4) + 1;
    const uint32_t unpacked = 262144;
    Host host(LzmaPackage(r.args.substr(begin, end - begin), unpacked));
    PackageReader reader(host.platform);
    EXPECT_EQ(reader.Form(), 2);
    EXPECT_EQ(Lookup(reader, "ProjectName") == "Sample Project", r.loads);
    EXPECT_EQ(host.platform.StandardOutput(), r.stdoutText);
    if (r.loads) {
      EXPECT_TRUE(host.platform.MessageBoxes().empty());
      EXPECT_EQ(host.folder.Files(), (std::vector<std::string>{"Sample Saver.scr"})) << "temporary file deleted";
    } else {
      EXPECT_EQ(host.Boxes(), (std::vector<std::string>{"BAD DEC LZMA|TAG"}));
      EXPECT_EQ(reader.EntryCount(), 0);
      EXPECT_EQ(host.folder.Files().size(), 2u) << "the temporary file stays after a failure";
    }
  }
}

TEST_F(SevenZipFixtures, BCJ2WithASingleLzmaCoderIsRefusedCleanly) {
  WriteFile(folder_ / "block.bin", saverpack::BuildBlock(kTwoEntries));
  ASSERT_TRUE(SevenZip("-m0=BCJ2 -m1=LZMA short.7z block.bin"));
  Host host(LzmaPackage("short.7z", 4096));
  PackageReader reader(host.platform);
  EXPECT_EQ(reader.EntryCount(), 0);
  EXPECT_EQ(host.Boxes(), (std::vector<std::string>{"BAD DEC LZMA|TAG"}));
  EXPECT_EQ(host.platform.StandardOutput(), "") << "unsupported: no ERROR line";
}

TEST_F(SevenZipFixtures, TemporaryFileNameUsesTheSeededRandomNumber) {
  Host host(Packaged(kTwoEntries, saverpack::Form::kLzma));
  host.platform.SetTickCount(1);
  // Let the temporary file stay: make the archive fail after it was written.
  Bytes file = ReadFile(host.program);
  uint32_t marker = 0;
  memcpy(&marker, file.data() + file.size() - 4, 4);
  file[marker + 48 + 40] ^= 0xFF;  // damage the packed stream
  WriteFile(host.program, file);
  PackageReader reader(host.platform);
  // srand(1); rand() gives 41 in the platform's runtime.
  EXPECT_EQ(host.folder.Files(), (std::vector<std::string>{"Sample Saver.scr", "extractData41.tmp"}));
  EXPECT_EQ(host.Boxes(), (std::vector<std::string>{"BAD DEC LZMA|TAG"}));
}

// ---- damaged packages ------------------------------------------------------

struct Damaged {
  const char* name;
  Bytes package;  // from the marker on, without the trailer
  bool lzma;
  int entries;
  std::vector<std::string> boxes;
};

Bytes Marker(const char* form) { return Cat({Bytes(saver::kPackageMarker, saver::kPackageMarker + 36), Text(form)}); }

Bytes RawTable(int32_t count, uint32_t sectionLength, uint32_t keyLength, uint32_t size, uint32_t dataOffset,
               const Bytes& data) {
  Bytes out = Marker("RAWS");
  PutU32(out, static_cast<uint32_t>(count));
  PutU32(out, sectionLength);
  Bytes section = Text("APPDATA");
  section.resize(sectionLength > 300 ? 300 : sectionLength, 0);
  out.insert(out.end(), section.begin(), section.end());
  PutU32(out, keyLength);
  Bytes key = Text("ProjectName");
  key.resize(keyLength > 300 ? 300 : keyLength, 0);
  out.insert(out.end(), key.begin(), key.end());
  PutU32(out, size);
  PutU32(out, Crc(data));
  PutU32(out, dataOffset);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

Bytes LzmaHeader(uint32_t unpacked, uint32_t packed, const Bytes& archive) {
  Bytes out = Marker("LZMA");
  PutU32(out, unpacked);
  PutU32(out, packed);
  out.insert(out.end(), archive.begin(), archive.end());
  return out;
}

Bytes Archive(const Bytes& content) {
  Bytes archive;
  std::string error;
  saverpack::BuildSevenZip(content, "b", &archive, &error);
  return archive;
}

TEST(DamagedPackages, EachIsRefusedWithoutReadingOutsideItsData) {
  const Bytes name = Text(std::string("Sample") + '\0');
  const Bytes goodBlock = saverpack::BuildBlock({{"APPDATA", "ProjectName", name}});
  const Bytes archive = Archive(goodBlock);
  Bytes truncatedArchive(archive.begin(), archive.begin() + static_cast<long>(archive.size() / 2));
  Bytes hugeCountBlock = goodBlock;
  hugeCountBlock[3] = 0x7F;
  Bytes noItemArchive = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};  // 7zz's empty archive
  {
    Bytes start(20, 0);
    PutU32(noItemArchive, Crc(start));
    noItemArchive.insert(noItemArchive.end(), start.begin(), start.end());
  }
  const Bytes goodRaw = RawTable(1, 8, 12, 7, 84, name);
  const Bytes cutRaw(goodRaw.begin(), goodRaw.begin() + 60);
  const Bytes otherTag = Cat({Marker("XYZW"), Bytes(goodRaw.begin() + 40, goodRaw.end())});
  const std::vector<std::string> bad = {"BAD DEC LZMA|TAG"};
  const Damaged rows[] = {
      {"undamaged raw", RawTable(1, 8, 12, 7, 84, name), false, 1, {}},
      {"section name of 261 bytes", RawTable(1, 261, 12, 7, 84, name), false, 0, {}},
      {"key name of 0 bytes", RawTable(1, 8, 0, 7, 84, name), false, 0, {}},
      {"key length 0xFFFFFFFF", RawTable(1, 8, 0xFFFFFFFFu, 7, 84, name), false, 0, {}},
      {"count 0x7FFFFFFF", RawTable(0x7FFFFFFF, 8, 12, 7, 84, name), false, 0, {}},
      {"count -5", RawTable(-5, 8, 12, 7, 84, name), false, 0, {}},
      {"count 0", RawTable(0, 8, 12, 7, 84, name), false, 0, {}},
      {"table cut short", cutRaw, false, 0, {}},
      {"data offset past the end", RawTable(1, 8, 12, 7, 0x7FFFFF00, name), false, 1, {}},
      {"negative data offset", RawTable(1, 8, 12, 7, 0xFFFFFFF0u, name), false, 1, {}},
      {"size past the end", RawTable(1, 8, 12, 0xFFFFFF00u, 84, name), false, 1, {}},
      {"unknown form tag read as raw", otherTag, false, 1, {}},
      {"undamaged LZMA", LzmaHeader(static_cast<uint32_t>(goodBlock.size()), static_cast<uint32_t>(archive.size()), archive),
       true, 1, {}},
      {"U of 0", LzmaHeader(0, static_cast<uint32_t>(archive.size()), archive), true, 0, bad},
      {"U huge", LzmaHeader(0xFFFFFFF0u, static_cast<uint32_t>(archive.size()), archive), true, 0, bad},
      {"U smaller than the item", LzmaHeader(8, static_cast<uint32_t>(archive.size()), archive), true, 0, bad},
      {"P past the end of the file", LzmaHeader(4096, static_cast<uint32_t>(archive.size()) + 100, archive), true, 0, bad},
      {"P huge", LzmaHeader(4096, 0xFFFFFFF0u, archive), true, 0, bad},
      {"not a 7z archive", LzmaHeader(4096, 64, Bytes(64, 0x5A)), true, 0, bad},
      {"archive cut in half", LzmaHeader(4096, static_cast<uint32_t>(truncatedArchive.size()), truncatedArchive), true, 0,
       bad},
      {"archive without an item", LzmaHeader(4096, static_cast<uint32_t>(noItemArchive.size()), noItemArchive), true, 0,
       bad},
      {"P of 0", LzmaHeader(4096, 0, Bytes()), true, 0, bad},
      {"huge count inside the block",
       LzmaHeader(static_cast<uint32_t>(hugeCountBlock.size()), static_cast<uint32_t>(Archive(hugeCountBlock).size()),
                  Archive(hugeCountBlock)),
       true, 0, {}},
  };
  for (const Damaged& r : rows) {
    SCOPED_TRACE(r.name);
    const Bytes program = Program(1024);
    Bytes file = Cat({program, r.package});
    PutU32(file, static_cast<uint32_t>(program.size()));
    Host host(file);
    PackageReader reader(host.platform);
    EXPECT_EQ(reader.EntryCount(), r.entries);
    EXPECT_EQ(host.Boxes(), r.boxes);
    const bool shouldFind = std::string(r.name).find("undamaged") == 0 || std::string(r.name) == "unknown form tag read as raw";
    EXPECT_EQ(Lookup(reader, "ProjectName") == "Sample", shouldFind);
    // Without a buffer the reader allocates the entry's size: only after
    // checking that the data are really there.
    EXPECT_EQ(reader.Lookup("ProjectName", nullptr, 0, nullptr), shouldFind);
  }
}

// ---- saverpack -------------------------------------------------------------

std::string RunTool(const std::string& command, int* status) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  char line[1024];
  while (p && fgets(line, sizeof line, p)) out += line;
  *status = p ? pclose(p) : -1;
  *status = WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
  return out;
}

TEST(Saverpack, RoundTripsInBothFormsAndRefusesBadInput) {
  TempFolder folder;
  WriteFile(folder / "host.scr", Program(5000));
  WriteFile(folder / "extra.bin", Text("extra data"));
  const std::string tool = SAVERPACK_PATH;
  int status = 0;
  for (const char* form : {"raw", "lzma"}) {
    SCOPED_TRACE(form);
    const std::string out = folder / (std::string("packed_") + form + ".scr");
    RunTool(tool + " --host " + folder / "host.scr" + " --out " + out + " --project 'My Project' --form " + form +
            " --entry DATA Extra " + folder / "extra.bin",
        &status);
    ASSERT_EQ(status, 0);
    const std::string listing = RunTool(tool + " --list " + out, &status);
    EXPECT_EQ(status, 0) << listing;
    EXPECT_NE(listing.find(std::string(form) + " form"), std::string::npos) << listing;
    EXPECT_NE(listing.find("APPDATA / ProjectName: 11 bytes"), std::string::npos) << listing;
    EXPECT_NE(listing.find("DATA / Extra: 10 bytes"), std::string::npos) << listing;
    TestPlatform platform;
    platform.SetCommandLine("\"" + out + "\" /s");
    platform.SetTemporaryFolder(folder.path());
    char name[259] = {0};
    EXPECT_TRUE(saver::ReadPackageEntry(platform, "ProjectName", name, 259));
    EXPECT_STREQ(name, "My Project");
  }
  struct Row {
    const char* name;
    std::string args;
    int status;
    const char* message;
  };
  const Row rows[] = {
      {"missing host", "--host " + folder / "none.scr" + " --out " + folder / "x.scr" + " --project P", 2, "cannot read"},
      {"unwritable output", "--host " + folder / "host.scr" + " --out /nonexistent/x.scr --project P", 2, "cannot write"},
      {"project name too long", "--host " + folder / "host.scr" + " --out " + folder / "x.scr" + " --project " + std::string(300, 'p'), 1,
       "1 to 258"},
      {"section name too long",
       "--host " + folder / "host.scr" + " --out " + folder / "x.scr" + " --project P --text " + std::string(260, 's') + " K v", 1,
       "name too long"},
      {"missing entry file", "--host " + folder / "host.scr" + " --out " + folder / "x.scr" + " --project P --entry S K " + folder / "none", 2,
       "cannot read"},
      {"no project", "--host " + folder / "host.scr" + " --out " + folder / "x.scr", 1, "usage"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string out = RunTool(tool + " " + r.args, &status);
    EXPECT_EQ(status, r.status) << out;
    EXPECT_NE(out.find(r.message), std::string::npos) << out;
  }
  EXPECT_EQ(RunTool(tool + " --list " + folder / "host.scr", &status).find("no entries") != std::string::npos, true);
  EXPECT_NE(status, 0);
}

}  // namespace
