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

  void TrackbarSetRange(Window dialog, int id, int low, int high, bool redraw) override;
  void TrackbarSetPosition(Window dialog, int id, int position, bool redraw) override;
  int TrackbarPosition(Window dialog, int id) override;
  void CheckButton(Window dialog, int id, unsigned state) override;
  unsigned ButtonState(Window dialog, int id) override;
  void SetItemText(Window dialog, int id, const char* text) override;
};

}  // namespace saver
