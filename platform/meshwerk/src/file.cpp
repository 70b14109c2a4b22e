// The tagged file saver and loader (layout: docs/tagged_file.md).
#include "meshwerk/file.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

constexpr unsigned char kMagic[4] = {'K', 'V', 'N', 'F'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 8;
constexpr size_t kBlockHeaderSize = 8;

void PutU32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t GetU32(const unsigned char* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A tag is exactly four non-zero bytes.
bool ValidTag(const char* tag) { return tag != nullptr && strnlen(tag, 5) == 4; }

}  // namespace

// ---- saver -----------------------------------------------------------------

struct KvnFileSaverData {
  enum class Step { kClosed, kTag, kSize, kData };
  Step step = Step::kClosed;
  FILE* file = nullptr;
  bool inMemory = false;
  bool failed = false;
  std::vector<unsigned char> memory;
  unsigned char pending[kBlockHeaderSize] = {};

  bool Write(const void* bytes, size_t size) {
    if (size == 0) return true;
    if (inMemory) {
      const unsigned char* p = static_cast<const unsigned char*>(bytes);
      memory.insert(memory.end(), p, p + size);
      return true;
    }
    if (fwrite(bytes, 1, size, file) != size) {
      failed = true;
      return false;
    }
    return true;
  }
  bool WriteHeader() {
    unsigned char header[kHeaderSize];
    memcpy(header, kMagic, 4);
    PutU32(header + 4, kVersion);
    return Write(header, sizeof header);
  }
  bool CloseFile() {
    bool ok = !failed;
    if (file != nullptr) {
      if (fclose(file) != 0) ok = false;
      file = nullptr;
    }
    step = Step::kClosed;
    return ok;
  }
};

KvnFileSaver::KvnFileSaver() : data_(new KvnFileSaverData) {}
KvnFileSaver::~KvnFileSaver() {
  data_->CloseFile();
  delete data_;
}

bool KvnFileSaver::OpenForWrite(const char* path, int) {
  data_->CloseFile();
  data_->inMemory = false;
  data_->failed = false;
  data_->memory.clear();
  if (path == nullptr) return false;
  data_->file = fopen(path, "wb");
  if (data_->file == nullptr) return false;
  if (!data_->WriteHeader()) {
    data_->CloseFile();
    return false;
  }
  data_->step = KvnFileSaverData::Step::kTag;
  return true;
}

bool KvnFileSaver::OpenInMemory() {
  data_->CloseFile();
  data_->inMemory = true;
  data_->failed = false;
  data_->memory.clear();
  data_->WriteHeader();
  data_->step = KvnFileSaverData::Step::kTag;
  return true;
}

int KvnFileSaver::SaveTag(const char* tag) {
  if (data_->step != KvnFileSaverData::Step::kTag || !ValidTag(tag)) return 0;
  memcpy(data_->pending, tag, 4);
  data_->step = KvnFileSaverData::Step::kSize;
  return 1;
}

int KvnFileSaver::SaveBlockSize(unsigned long size) {
  if (data_->step != KvnFileSaverData::Step::kSize || size > KvnFileLoader::kMaxFileSize) {
    if (data_->step == KvnFileSaverData::Step::kSize) data_->step = KvnFileSaverData::Step::kTag;
    return 0;
  }
  PutU32(data_->pending + 4, static_cast<uint32_t>(size));
  data_->step = KvnFileSaverData::Step::kData;
  return 1;
}

// The block reaches the file only here, whole: a data size that differs
// from the announced one drops the block instead of damaging the file.
int KvnFileSaver::SaveDataToFile(const void* bytes, unsigned long size) {
  if (data_->step != KvnFileSaverData::Step::kData) return 0;
  data_->step = KvnFileSaverData::Step::kTag;
  if (size != GetU32(data_->pending + 4) || (bytes == nullptr && size != 0)) return 0;
  if (!data_->Write(data_->pending, sizeof data_->pending)) return 0;
  return data_->Write(bytes, size) ? 1 : 0;
}

bool KvnFileSaver::Close() {
  if (data_->step == KvnFileSaverData::Step::kClosed) return false;
  return data_->CloseFile();
}

bool KvnFileSaver::IsOpen() const { return data_->step != KvnFileSaverData::Step::kClosed; }
const unsigned char* KvnFileSaver::MemoryData() const {
  return data_->inMemory && !data_->memory.empty() ? data_->memory.data() : nullptr;
}
size_t KvnFileSaver::MemorySize() const { return data_->inMemory ? data_->memory.size() : 0; }

// ---- loader ----------------------------------------------------------------

struct KvnFileLoaderData {
  struct Block {
    char tag[4];
    size_t offset;  // of the data
    uint32_t size;
  };
  std::vector<unsigned char> bytes;
  std::vector<Block> blocks;
  size_t windowBegin = 0;
  size_t windowEnd = 0;
  int current = -1;

  void Reset() {
    bytes.clear();
    blocks.clear();
    windowBegin = windowEnd = 0;
    current = -1;
  }

  // Checks length, then magic and version, then every block header and
  // size against what is really there.
  bool Parse() {
    blocks.clear();
    if (bytes.size() < kHeaderSize) return false;
    if (memcmp(bytes.data(), kMagic, 4) != 0) return false;
    if (GetU32(bytes.data() + 4) != kVersion) return false;
    size_t at = kHeaderSize;
    while (at < bytes.size()) {
      if (bytes.size() - at < kBlockHeaderSize) return false;
      Block b;
      memcpy(b.tag, bytes.data() + at, 4);
      b.size = GetU32(bytes.data() + at + 4);
      at += kBlockHeaderSize;
      if (b.size > bytes.size() - at) return false;
      b.offset = at;
      at += b.size;
      blocks.push_back(b);
    }
    windowBegin = 0;
    windowEnd = blocks.size();
    current = -1;
    return true;
  }
};

KvnFileLoader::KvnFileLoader() : data_(new KvnFileLoaderData) {}
KvnFileLoader::~KvnFileLoader() { delete data_; }

void KvnFileLoader::Release(int how) {
  if (how == 1) delete this;
}

bool KvnFileLoader::Open(const char* path) {
  data_->Reset();
  if (path == nullptr) return false;
  FILE* f = fopen(path, "rb");
  if (f == nullptr) return false;
  bool ok = true;
  unsigned char chunk[16384];
  size_t n;
  while (ok && (n = fread(chunk, 1, sizeof chunk, f)) > 0) {
    if (data_->bytes.size() + n > kMaxFileSize) ok = false;
    else data_->bytes.insert(data_->bytes.end(), chunk, chunk + n);
  }
  if (ferror(f)) ok = false;
  fclose(f);
  if (!ok || !data_->Parse()) {
    data_->Reset();
    return false;
  }
  return true;
}

bool KvnFileLoader::OpenMemory(const void* bytes, size_t size) {
  data_->Reset();
  if (size > kMaxFileSize || (bytes == nullptr && size != 0)) return false;
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  data_->bytes.assign(p, p + size);
  if (!data_->Parse()) {
    data_->Reset();
    return false;
  }
  return true;
}

bool KvnFileLoader::GetInfoIfTag(char* tag) {
  data_->current = -1;
  if (!ValidTag(tag)) return false;
  for (size_t i = data_->windowBegin; i < data_->windowEnd; ++i) {
    if (memcmp(data_->blocks[i].tag, tag, 4) == 0) {
      data_->current = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

void KvnFileLoader::CopyTagDataToPointer(void* destination) {
  if (data_->current < 0 || destination == nullptr) return;
  const auto& b = data_->blocks[static_cast<size_t>(data_->current)];
  if (b.size != 0) memcpy(destination, data_->bytes.data() + b.offset, b.size);
}

unsigned long KvnFileLoader::GetTagDataSize() const {
  return data_->current < 0 ? 0 : data_->blocks[static_cast<size_t>(data_->current)].size;
}

unsigned long KvnFileLoader::CopyTagData(void* destination, unsigned long capacity) {
  if (destination == nullptr) return 0;
  unsigned long n = 0;
  if (data_->current >= 0) {
    const auto& b = data_->blocks[static_cast<size_t>(data_->current)];
    n = b.size < capacity ? b.size : capacity;
    if (n != 0) memcpy(destination, data_->bytes.data() + b.offset, n);
  }
  if (capacity > n) memset(static_cast<unsigned char*>(destination) + n, 0, capacity - n);
  return n;
}

int KvnFileLoader::BlockCount() const { return static_cast<int>(data_->blocks.size()); }

bool KvnFileLoader::EnterChannel(int n) {
  if (n < 0) return false;
  int seen = -1;
  for (size_t i = 0; i < data_->blocks.size(); ++i) {
    if (memcmp(data_->blocks[i].tag, "KVCH", 4) != 0) continue;
    if (++seen != n) continue;
    size_t end = i + 1;
    while (end < data_->blocks.size() && memcmp(data_->blocks[end].tag, "KVCH", 4) != 0) ++end;
    data_->windowBegin = i;
    data_->windowEnd = end;
    data_->current = -1;
    return true;
  }
  return false;
}

void KvnFileLoader::LeaveChannel() {
  data_->windowBegin = 0;
  data_->windowEnd = data_->blocks.size();
  data_->current = -1;
}
