// PackageReader: finding the package, reading its table, looking up entries.
#include "host/package/package_reader.h"

#include <stdio.h>
#include <string.h>

#include <new>

#include "host/package/crc32.h"

namespace saver {

namespace {

constexpr int kScanBlocks = 20;
constexpr int kScanBlockSize = 9999;
constexpr int kScanLastOffset = 9962;
constexpr int kCommandCopy = 259;
// Section and key with one byte each plus their NULs, lengths, size, CRC.
constexpr int64_t kSmallestEntry = 4 + 1 + 4 + 1 + 4 + 4;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (Lower(*a) != Lower(*b)) return false;
    if (*a == '\0') return true;
  }
}

uint32_t Le32(const unsigned char* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// The program path from the command line: quotes dropped, everything after
// the first ".scr" (either case) cut off.
std::string OwnPath(const std::string& commandLine) {
  const std::string copy = commandLine.substr(0, kCommandCopy);
  std::string path;
  for (size_t i = 0; i < copy.size(); ++i) {
    const char c = copy[i];
    if (c == '"') continue;
    path += c;
    if ((c == 'r' || c == 'R') && i >= 4 && copy[i - 3] == '.' && Lower(copy[i - 2]) == 's' &&
        Lower(copy[i - 1]) == 'c')
      break;  // i >= 4: a full stop that is the command line's first character does not count
  }
  return path;
}

}  // namespace

// Where the table's fields come from: the file (raw form) or the unpacked
// block (LZMA form). Every read is checked against what is really there.
class PackageReader::Source {
 public:
  virtual ~Source() = default;
  virtual bool Bytes(void* out, uint32_t size) = 0;
  virtual int64_t Remaining() const = 0;
  bool U32(uint32_t* v) {
    unsigned char b[4];
    if (!Bytes(b, 4)) return false;
    *v = Le32(b);
    return true;
  }
};

class PackageReader::FileSource : public Source {
 public:
  FileSource(Platform& platform, FileHandle file, int64_t position, int64_t size)
      : platform_(platform), file_(file), position_(position), size_(size) {}
  bool Bytes(void* out, uint32_t size) override {
    if (Remaining() < size) return false;
    unsigned char* p = static_cast<unsigned char*>(out);
    uint32_t got = 0;
    while (got < size) {
      uint32_t n = 0;
      if (!platform_.Read(file_, p + got, size - got, &n) || n == 0) return false;
      got += n;
    }
    position_ += size;
    return true;
  }
  int64_t Remaining() const override { return size_ - position_; }

 private:
  Platform& platform_;
  FileHandle file_;
  int64_t position_;
  int64_t size_;
};

class PackageReader::BlockSource : public Source {
 public:
  BlockSource(const unsigned char* block, uint32_t size) : block_(block), size_(size) {}
  bool Bytes(void* out, uint32_t size) override {
    if (Remaining() < size) return false;
    memcpy(out, block_ + at_, size);
    at_ += size;
    return true;
  }
  int64_t Remaining() const override { return static_cast<int64_t>(size_) - at_; }

 private:
  const unsigned char* block_;
  uint32_t size_;
  uint32_t at_ = 0;
};

PackageReader::PackageReader(Platform& platform) : platform_(platform) { ReadPackage(); }

PackageReader::~PackageReader() {
  delete[] block_;
  block_ = nullptr;
  platform_.Close(file_);
  delete[] copied_;
  ClearTable();
}

void PackageReader::ClearTable() {
  for (int32_t i = 0; i < entries_.Count(); ++i) {
    delete static_cast<PackageEntry*>(entries_.Get(i));
    entries_.Set(i, nullptr);
  }
  entries_.Resize(0);
}

void PackageReader::ReadPackage() {
  const std::string path = OwnPath(platform_.CommandLine());
  file_ = platform_.OpenForReading(path.c_str());
  if (!FindPackage()) return;

  unsigned char tag[4] = {0, 0, 0, 0};
  uint32_t got = 0;
  platform_.Read(file_, tag, 4, &got);
  form_ = (got == 4 && memcmp(tag, "LZMA", 4) == 0) ? 2 : 0;
  if (form_ == 2)
    ReadLzma();
  else
    ReadRaw();
}

// Leaves the file just behind the marker when it returns true.
bool PackageReader::FindPackage() {
  if (platform_.Seek(file_, 0, SeekFrom::kEnd, &fileSize_) && fileSize_ >= 4 &&
      platform_.Seek(file_, fileSize_ - 4, SeekFrom::kBegin, nullptr)) {
    unsigned char trailer[4];
    uint32_t got = 0;
    if (platform_.Read(file_, trailer, 4, &got) && got == 4) marker_ = static_cast<int32_t>(Le32(trailer));
  }
  if (marker_ >= 0 && platform_.Seek(file_, marker_, SeekFrom::kBegin, nullptr)) {
    uint32_t got = 0;
    if (!platform_.Read(file_, markerText_, kPackageMarkerSize, &got)) got = 0;
    markerText_[got] = '\0';
    if (EqualIgnoringCase(markerText_, kPackageMarker)) return true;
  }

  // Scan the start of the file, block after block, byte for byte.
  platform_.Seek(file_, 0, SeekFrom::kBegin, nullptr);
  unsigned char* block = new (std::nothrow) unsigned char[kScanBlockSize];
  if (block == nullptr) return false;
  int64_t blockStart = 0;
  for (int b = 0; b < kScanBlocks; ++b) {
    uint32_t got = 0;
    if (!platform_.Read(file_, block, kScanBlockSize, &got)) {
      char number[16];
      snprintf(number, sizeof number, "%u", static_cast<unsigned>(platform_.LastError()));
      platform_.ShowMessageBox(nullptr, number, markerText_, kMbOk);
      continue;
    }
    for (int k = 0; k <= kScanLastOffset && k + kPackageMarkerSize <= static_cast<int>(got); ++k) {
      if (memcmp(block + k, kPackageMarker, kPackageMarkerSize) == 0) {
        delete[] block;
        marker_ = static_cast<int32_t>(blockStart + k);
        return platform_.Seek(file_, marker_ + kPackageMarkerSize, SeekFrom::kBegin, nullptr);
      }
    }
    blockStart += got;
  }
  delete[] block;
  platform_.ShowMessageBox(nullptr, "Data header not found!", markerText_, kMbOk);
  return false;
}

void PackageReader::ReadRaw() {
  FileSource source(platform_, file_, static_cast<int64_t>(marker_) + kPackageMarkerSize + 4, fileSize_);
  if (!ReadTable(source)) ClearTable();
}

// A damaged table (a name longer than 260 bytes, a count or field running
// past the data) gives an empty table: every lookup then fails.
bool PackageReader::ReadTable(Source& source) {
  uint32_t count = 0;
  if (!source.U32(&count)) return false;
  const int32_t n = static_cast<int32_t>(count);
  if (n > 0 && static_cast<int64_t>(n) * kSmallestEntry > source.Remaining()) return false;
  for (int32_t i = 0; i < n; ++i) {
    PackageEntry* entry = new (std::nothrow) PackageEntry();
    if (entry == nullptr || entries_.Append(entry) < 0) {
      delete entry;
      return false;
    }
    uint32_t length = 0;
    if (!source.U32(&length) || length == 0 || length > kNameSize || !source.Bytes(entry->section, length)) return false;
    if (!source.U32(&length) || length == 0 || length > kNameSize || !source.Bytes(entry->key, length)) return false;
    entry->section[kNameSize - 1] = '\0';
    entry->key[kNameSize - 1] = '\0';
    if (!source.U32(&entry->size) || !source.U32(&entry->crc)) return false;
  }
  uint32_t offset = 0;
  if (!source.U32(&offset)) return false;
  dataOffset_ = static_cast<int32_t>(offset);
  return true;
}

void PackageReader::ReadLzma() {
  FileSource source(platform_, file_, static_cast<int64_t>(marker_) + kPackageMarkerSize + 4, fileSize_);
  uint32_t unpacked = 0, packed = 0;
  bool ok = source.U32(&unpacked) && source.U32(&packed) && packed > 0 && packed <= kMaxPackageBlock &&
            unpacked > 0 && unpacked <= kMaxPackageBlock && packed <= source.Remaining();
  unsigned char* packedBlock = ok ? new (std::nothrow) unsigned char[packed] : nullptr;
  ok = packedBlock != nullptr && source.Bytes(packedBlock, packed);
  if (ok) block_ = new (std::nothrow) unsigned char[unpacked];
  uint32_t itemSize = 0;
  ok = ok && block_ != nullptr &&
       ExtractLzmaBlock(platform_, packedBlock, static_cast<int32_t>(packed), block_, unpacked, &itemSize) == 0;
  delete[] packedBlock;
  if (!ok) {
    platform_.ShowMessageBox(nullptr, "BAD DEC LZMA", "TAG", kMbOk);
    delete[] block_;
    block_ = nullptr;
    return;
  }
  blockSize_ = itemSize;
  BlockSource table(block_, blockSize_);
  if (!ReadTable(table)) ClearTable();
}

bool PackageReader::DataInside(uint64_t offset, uint32_t size) const {
  if (form_ == 2) return block_ != nullptr && offset + size <= blockSize_;
  const int64_t at = static_cast<int64_t>(marker_) + static_cast<int64_t>(offset);
  return at >= 0 && at + static_cast<int64_t>(size) <= fileSize_;
}

bool PackageReader::CopyEntryData(uint64_t offset, uint32_t size, unsigned char* destination) {
  if (!DataInside(offset, size)) return false;
  if (form_ == 2) {
    memcpy(destination, block_ + offset, size);
    return true;
  }
  const int64_t at = static_cast<int64_t>(marker_) + static_cast<int64_t>(offset);
  if (!platform_.Seek(file_, at, SeekFrom::kBegin, nullptr)) return false;
  FileSource source(platform_, file_, at, fileSize_);
  return source.Bytes(destination, size);
}

bool PackageReader::Lookup(const char* key, void* buffer, uint32_t length, const char* section) {
  char wanted[kNameSize];
  snprintf(wanted, sizeof wanted, "%s", section ? section : "APPDATA");
  int64_t running = 0;
  const PackageEntry* match = nullptr;
  for (int32_t i = 0; i < entries_.Count(); ++i) {
    const PackageEntry* e = Entry(i);
    if (EqualIgnoringCase(e->key, key) && EqualIgnoringCase(e->section, wanted)) {
      match = e;
      break;
    }
    running += e->size;
  }
  if (match == nullptr || dataOffset_ < 0) return false;
  const uint64_t offset = static_cast<uint64_t>(dataOffset_) + static_cast<uint64_t>(running);

  if (buffer != nullptr) {
    if (length < match->size) return false;  // refused: nothing written
    unsigned char* out = static_cast<unsigned char*>(buffer);
    if (!CopyEntryData(offset, match->size, out)) return false;
    const Crc32Table table;
    if (table.Compute(out, match->size) != match->crc) {
      platform_.ShowMessageBox(nullptr, "Crc error corrupt file", match->key, kMbOk);
      return false;
    }
    return true;
  }

  delete[] copied_;
  copied_ = nullptr;
  copiedSize_ = 0;
  // Checked before allocating: a size read from the file is not trusted.
  if (!DataInside(offset, match->size)) return false;
  unsigned char* copy = new (std::nothrow) unsigned char[match->size ? match->size : 1];
  if (copy == nullptr) return false;
  if (!CopyEntryData(offset, match->size, copy)) {
    delete[] copy;
    return false;
  }
  copied_ = copy;
  copiedSize_ = match->size;
  return true;
}

const unsigned char* PackageReader::CopiedData() { return copied_; }
uint32_t PackageReader::CopiedSize() { return copiedSize_; }

bool ReadPackageEntry(Platform& platform, const char* key, void* buffer, int32_t length) {
  PackageReader reader(platform);
  return reader.Lookup(key, buffer, length < 0 ? 0u : static_cast<uint32_t>(length), "APPDATA");
}

}  // namespace saver
