// The host's platform operations on Windows.
#pragma once

#include "platform.h"

namespace saver {

class Win32Platform : public Platform {
 public:
  std::string CommandLine() override;
  uint32_t TickCount() override;
  void SeedRandom(unsigned seed) override;
  int Random() override;
  void WriteStandardOutput(const char* text) override;
  int ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) override;
  uint32_t LastError() override;

  std::string TemporaryFolder() override;
  FileHandle OpenForReading(const char* path) override;
  FileHandle CreateForWriting(const char* path) override;
  bool Read(FileHandle file, void* buffer, uint32_t size, uint32_t* done) override;
  bool Write(FileHandle file, const void* data, uint32_t size, uint32_t* done) override;
  bool Seek(FileHandle file, int64_t offset, SeekFrom from, int64_t* position) override;
  void Close(FileHandle file) override;
  bool RemoveFile(const char* path) override;
};

}  // namespace saver
