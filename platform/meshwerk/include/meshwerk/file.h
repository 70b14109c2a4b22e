// The engine's tagged files: a saver that writes tagged blocks and a loader
// that finds them again. The byte layout is in docs/tagged_file.md.
//
// The virtual operations are listed in the order callers outside the engine
// rely on; the engine's own operations follow them.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "meshwerk/api.h"

struct KvnFileSaverData;
struct KvnFileLoaderData;

class MESHWERK_API KvnFileSaver {
 public:
  KvnFileSaver();
  KvnFileSaver(const KvnFileSaver&) = delete;
  KvnFileSaver& operator=(const KvnFileSaver&) = delete;

  // Creates (or truncates) the file and writes the header. mode is 0.
  // True when the file could be created.
  virtual bool OpenForWrite(const char* path, int mode);
  // One block is SaveTag, SaveBlockSize, SaveDataToFile in this order.
  // Each returns 1 when written, 0 when the saver is not open, the call
  // comes out of order, or the write failed.
  virtual int SaveTag(const char* tag);
  virtual int SaveBlockSize(unsigned long size);
  virtual int SaveDataToFile(const void* data, unsigned long size);
  // Ends the writing: flushes and closes the file. True when all of it
  // reached the file.
  virtual bool Close();

  // The engine's own.
  // Collects the file in memory instead of on disk; Close keeps it.
  virtual bool OpenInMemory();
  virtual bool IsOpen() const;
  // The bytes written so far in memory (OpenInMemory), else null/0.
  virtual const unsigned char* MemoryData() const;
  virtual size_t MemorySize() const;
  virtual ~KvnFileSaver();

 private:
  KvnFileSaverData* data_;
};

class MESHWERK_API KvnFileLoader {
 public:
  static constexpr size_t kMaxFileSize = 64u * 1024u * 1024u;

  KvnFileLoader();
  KvnFileLoader(const KvnFileLoader&) = delete;
  KvnFileLoader& operator=(const KvnFileLoader&) = delete;

  // Ends a loader that the engine core made (CreateObject); 1 frees it.
  virtual void Release(int how);
  // Reads and checks the whole file. False (and nothing held) for a file
  // that is missing, larger than kMaxFileSize, damaged or truncated.
  virtual bool Open(const char* path);
  // Copies the whole data of the block GetInfoIfTag found last. The
  // destination must hold GetTagDataSize() bytes. Nothing when no block
  // is current.
  virtual void CopyTagDataToPointer(void* destination);
  // True when a block with these four letters is in the current window;
  // it becomes the current block.
  virtual bool GetInfoIfTag(char* tag);

  // The engine's own.
  // The same checks as Open, on bytes in memory (copied).
  virtual bool OpenMemory(const void* bytes, size_t size);
  // The data size of the current block, 0 when none.
  virtual unsigned long GetTagDataSize() const;
  // Copies at most capacity bytes of the current block and zero-fills the
  // rest of the destination; returns the bytes copied.
  virtual unsigned long CopyTagData(void* destination, unsigned long capacity);
  // The number of blocks in the file.
  virtual int BlockCount() const;
  // Restricts GetInfoIfTag to the blocks of the n-th channel: from its
  // "KVCH" block up to the next one. False when there is no such channel.
  virtual bool EnterChannel(int n);
  // Searches the whole file again.
  virtual void LeaveChannel();
  virtual ~KvnFileLoader();

 private:
  KvnFileLoaderData* data_;
};
