// ExtractLzmaBlock: the LZMA form's 7z archive, unpacked by the LZMA SDK's
// 7z decoder through a temporary file.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "host/package/package_reader.h"

extern "C" {
#include "7z.h"
#include "7zCrc.h"
}

namespace saver {

namespace {

// Results as this reader reports them. One place maps the decoder's codes
// onto them:
//   SZ_OK                                            -> 0
//   SZ_ERROR_DATA, SZ_ERROR_INPUT_EOF,
//   SZ_ERROR_OUTPUT_EOF (damaged packed data)        -> 1
//   SZ_ERROR_CRC                                     -> 3
//   SZ_ERROR_NO_ARCHIVE, SZ_ERROR_ARCHIVE
//   (not a 7z archive, damaged archive header)       -> 6
//   SZ_ERROR_UNSUPPORTED (method, encryption)        -> 0x80004001
//   SZ_ERROR_MEM                                     -> 0x8007000E
//   SZ_ERROR_READ, and every other code
//   (read or seek failure)                           -> 0x80004005
// Ours: an archive without an item, or an item larger than the
// destination, is damaged data (1).
constexpr int32_t kOk = 0;
constexpr int32_t kDamagedData = 1;
constexpr int32_t kCrcError = 3;
constexpr int32_t kNotAnArchive = 6;
constexpr int32_t kUnsupported = static_cast<int32_t>(0x80004001u);
constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t kFailure = static_cast<int32_t>(0x80004005u);

int32_t MapResult(SRes r) {
  switch (r) {
    case SZ_OK: return kOk;
    case SZ_ERROR_DATA:
    case SZ_ERROR_INPUT_EOF:
    case SZ_ERROR_OUTPUT_EOF: return kDamagedData;
    case SZ_ERROR_CRC: return kCrcError;
    case SZ_ERROR_NO_ARCHIVE:
    case SZ_ERROR_ARCHIVE: return kNotAnArchive;
    case SZ_ERROR_UNSUPPORTED: return kUnsupported;
    case SZ_ERROR_MEM: return kOutOfMemory;
    default: return kFailure;
  }
}

constexpr size_t kReadChunk = 16777216;
constexpr size_t kLookAhead = 1 << 16;

// The decoder's input stream over a platform file.
struct FileInStream {
  ISeekInStream vt;
  Platform* platform;
  FileHandle file;
};

SRes StreamRead(ISeekInStreamPtr pp, void* buf, size_t* size) {
  const FileInStream* p = Z7_CONTAINER_FROM_VTBL(pp, FileInStream, vt);
  size_t want = *size, done = 0;
  while (done < want) {
    const uint32_t chunk = static_cast<uint32_t>(want - done < kReadChunk ? want - done : kReadChunk);
    uint32_t n = 0;
    if (!p->platform->Read(p->file, static_cast<unsigned char*>(buf) + done, chunk, &n) || n == 0) break;
    done += n;
  }
  *size = done;
  return SZ_OK;  // a short count tells the decoder the rest
}

SRes StreamSeek(ISeekInStreamPtr pp, Int64* pos, ESzSeek origin) {
  const FileInStream* p = Z7_CONTAINER_FROM_VTBL(pp, FileInStream, vt);
  const SeekFrom from = origin == SZ_SEEK_SET ? SeekFrom::kBegin : origin == SZ_SEEK_CUR ? SeekFrom::kCurrent : SeekFrom::kEnd;
  int64_t at = 0;
  if (!p->platform->Seek(p->file, *pos, from, &at)) return SZ_ERROR_READ;
  *pos = at;
  return SZ_OK;
}

// One allocator pair for the decoder's main and temporary memory. A request
// beyond the largest block a package may hold is refused (the decoder then
// reports out of memory) instead of being tried.
void* Alloc(ISzAllocPtr, size_t size) {
  if (size == 0 || size > kMaxPackageBlock) return nullptr;
  return malloc(size);
}
void Free(ISzAllocPtr, void* address) { free(address); }
const ISzAlloc kAllocator = {Alloc, Free};

SRes Decode(FileInStream* stream, unsigned char* destination, uint32_t capacity, uint32_t* itemSize) {
  CLookToRead2 look;
  LookToRead2_CreateVTable(&look, False);
  look.buf = static_cast<Byte*>(malloc(kLookAhead));
  if (look.buf == nullptr) return SZ_ERROR_MEM;
  look.bufSize = kLookAhead;
  look.realStream = &stream->vt;
  LookToRead2_INIT(&look);

  CrcGenerateTable();
  CSzArEx db;
  SzArEx_Init(&db);
  SRes result = SzArEx_Open(&db, &look.vt, &kAllocator, &kAllocator);
  if (result == SZ_OK) {
    UInt32 blockIndex = 0xFFFFFFFF;
    Byte* outBuffer = nullptr;
    size_t outBufferSize = 0;
    bool any = false;
    for (UInt32 i = 0; i < db.NumFiles && result == SZ_OK; ++i) {
      size_t offset = 0, processed = 0;
      result = SzArEx_Extract(&db, &look.vt, i, &blockIndex, &outBuffer, &outBufferSize, &offset, &processed,
                              &kAllocator, &kAllocator);
      if (result != SZ_OK) break;
      if (processed > capacity) {
        result = SZ_ERROR_DATA;
        break;
      }
      if (processed != 0) memcpy(destination, outBuffer + offset, processed);
      *itemSize = static_cast<uint32_t>(processed);
      any = true;
    }
    if (result == SZ_OK && !any) result = SZ_ERROR_DATA;
    kAllocator.Free(&kAllocator, outBuffer);
  }
  SzArEx_Free(&db, &kAllocator);
  free(look.buf);
  return result;
}

}  // namespace

int ExtractLzmaBlock(Platform& platform, const unsigned char* packed, int32_t packedSize, unsigned char* destination,
                     uint32_t capacity, uint32_t* itemSize) {
  *itemSize = 0;
  platform.SeedRandom(platform.TickCount());
  const int r = platform.Random();
  std::string folder = platform.TemporaryFolder();
  if (folder.size() > 260) folder.resize(260);
  char name[40];
  snprintf(name, sizeof name, "\\extractData%d.tmp", r);
#if !defined(_WIN32)
  name[0] = '/';  // the test platform's files are POSIX paths
#endif
  const std::string path = folder + name;

  const FileHandle out = platform.CreateForWriting(path.c_str());
  if (out != kInvalidFile) {
    uint32_t done = 0;
    if (packedSize > 0) platform.Write(out, packed, static_cast<uint32_t>(packedSize), &done);
    platform.Close(out);
  }
  FileInStream stream;
  stream.vt.Read = StreamRead;
  stream.vt.Seek = StreamSeek;
  stream.platform = &platform;
  stream.file = platform.OpenForReading(path.c_str());
  if (stream.file == kInvalidFile) return 1;

  const int32_t result = MapResult(Decode(&stream, destination, capacity, itemSize));
  platform.Close(stream.file);

  if (result == kOk) {
    platform.RemoveFile(path.c_str());
    platform.WriteStandardOutput("\nEverything is Ok\n");
    return 0;
  }
  if (result != kCrcError && result != kUnsupported && result != kOutOfMemory) {
    char text[32];
    snprintf(text, sizeof text, "\nERROR #%d\n", result);
    platform.WriteStandardOutput(text);
  }
  return 1;
}

}  // namespace saver
