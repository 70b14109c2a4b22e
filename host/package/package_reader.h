// The appended data package at the end of saverhost's own file: finding it,
// its entry table in the raw and the LZMA form, and the lookup of one entry
// with its CRC-32 check. Layout and rules: docs/package.md.
#pragma once

#include <stdint.h>

#include "host/package/pointer_array.h"
#include "host/system/platform.h"

namespace saver {

constexpr char kPackageMarker[] = "D4CC6D9D-3ED9-4B26-8192-DC9A8C5160FA";
constexpr int kPackageMarkerSize = 36;
constexpr int kNameSize = 260;
// The largest packed or unpacked block the reader accepts: far beyond any
// project's entries, well inside a 32-bit address space.
constexpr uint32_t kMaxPackageBlock = 256u * 1024u * 1024u;

struct PackageEntry {
  char section[kNameSize];
  char key[kNameSize];
  uint32_t size;
  uint32_t crc;
};

class PackageReader {
 public:
  // Reads the package of the program file named by the command line.
  // Always succeeds; failures are shown in message boxes and leave the entry
  // table empty.
  explicit PackageReader(Platform& platform);
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  virtual ~PackageReader();
  virtual void ReadPackage();
  // Finds the entry (key, then section; null section: "APPDATA"; letter
  // case ignored). With a buffer of at least the entry's size: copies its
  // data and checks its CRC-32. Without a buffer: keeps its own copy
  // (CopiedData), no CRC-32 check. False when there is no such entry, its
  // data lie outside the package, the buffer is too short (nothing is then
  // written), or the CRC-32 differs.
  virtual bool Lookup(const char* key, void* buffer, uint32_t length, const char* section);
  virtual const unsigned char* CopiedData();
  virtual uint32_t CopiedSize();

  // For tests and the packaging tool's listing.
  int32_t EntryCount() const { return entries_.Count(); }
  const PackageEntry* Entry(int32_t i) const { return static_cast<const PackageEntry*>(entries_.Get(i)); }
  int32_t Form() const { return form_; }
  int32_t MarkerOffset() const { return marker_; }
  int32_t DataOffset() const { return dataOffset_; }

 private:
  class Source;
  class FileSource;
  class BlockSource;

  bool FindPackage();
  void ReadRaw();
  void ReadLzma();
  bool ReadTable(Source& source);
  void ClearTable();
  // The entry's data into destination (size bytes); false when they lie
  // outside the file or the unpacked block.
  bool CopyEntryData(uint64_t offset, uint32_t size, unsigned char* destination);
  bool DataInside(uint64_t offset, uint32_t size) const;

  Platform& platform_;
  FileHandle file_ = kInvalidFile;
  PointerArray entries_;
  int32_t dataOffset_ = 0;
  unsigned char* copied_ = nullptr;
  uint32_t copiedSize_ = 0;
  int32_t marker_ = 0;
  unsigned char* block_ = nullptr;
  int32_t form_ = 0;
  // Ours: the file's size and the size of the table's item in the block.
  int64_t fileSize_ = -1;
  uint32_t blockSize_ = 0;
  char markerText_[kPackageMarkerSize + 1] = {0};
};

// Unpacks a 7z archive held in memory through a temporary file; the last
// item's bytes go to the start of destination. 0 on success, 1 on failure
// (an item larger than capacity, or no item, is a failure).
int ExtractLzmaBlock(Platform& platform, const unsigned char* packed, int32_t packedSize, unsigned char* destination,
                     uint32_t capacity, uint32_t* itemSize);

// One reader for one lookup in "APPDATA".
bool ReadPackageEntry(Platform& platform, const char* key, void* buffer, int32_t length);

}  // namespace saver
