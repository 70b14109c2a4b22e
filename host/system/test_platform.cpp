// TestPlatform: POSIX files, everything else in memory.
#include "test_platform.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace saver {

TestPlatform::TestPlatform() = default;
TestPlatform::~TestPlatform() {
  for (int fd : open_) ::close(fd);
}

// The runtime generator of the platform's C library (msvcrt), so that a seed
// gives the same numbers as on Windows.
int TestPlatform::Random() {
  seed_ = seed_ * 214013u + 2531011u;
  return static_cast<int>((seed_ >> 16) & 0x7FFF);
}

int TestPlatform::ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type) {
  boxes_.push_back({owner, text ? text : "", caption ? caption : "", type});
  return kIdOk;
}

int TestPlatform::OpenFileCount() const { return static_cast<int>(open_.size()); }

bool TestPlatform::Valid(FileHandle file) {
  if (std::find(open_.begin(), open_.end(), static_cast<int>(file)) != open_.end()) return true;
  lastError_ = kErrorInvalidHandle;
  return false;
}

static uint32_t ErrorFromErrno(int e) { return e == ENOENT ? kErrorFileNotFound : static_cast<uint32_t>(1000 + e); }

FileHandle TestPlatform::OpenForReading(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    lastError_ = ErrorFromErrno(errno);
    return kInvalidFile;
  }
  open_.push_back(fd);
  return fd;
}

FileHandle TestPlatform::CreateForWriting(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    lastError_ = ErrorFromErrno(errno);
    return kInvalidFile;
  }
  open_.push_back(fd);
  return fd;
}

bool TestPlatform::Read(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  *done = 0;
  if (!Valid(file)) return false;
  const ssize_t n = ::read(static_cast<int>(file), buffer, size);
  if (n < 0) {
    lastError_ = ErrorFromErrno(errno);
    return false;
  }
  *done = static_cast<uint32_t>(n);
  return true;
}

bool TestPlatform::Write(FileHandle file, const void* data, uint32_t size, uint32_t* done) {
  *done = 0;
  if (!Valid(file)) return false;
  const ssize_t n = ::write(static_cast<int>(file), data, size);
  if (n < 0) {
    lastError_ = ErrorFromErrno(errno);
    return false;
  }
  *done = static_cast<uint32_t>(n);
  return true;
}

bool TestPlatform::Seek(FileHandle file, int64_t offset, SeekFrom from, int64_t* position) {
  if (!Valid(file)) return false;
  const int whence = from == SeekFrom::kBegin ? SEEK_SET : from == SeekFrom::kCurrent ? SEEK_CUR : SEEK_END;
  const off_t at = ::lseek(static_cast<int>(file), static_cast<off_t>(offset), whence);
  if (at < 0) {
    lastError_ = 131;  // negative seek, as the platform reports it
    return false;
  }
  if (position) *position = at;
  return true;
}

void TestPlatform::Close(FileHandle file) {
  auto it = std::find(open_.begin(), open_.end(), static_cast<int>(file));
  if (it == open_.end()) return;
  ::close(*it);
  open_.erase(it);
}

bool TestPlatform::RemoveFile(const char* path) {
  if (::unlink(path) != 0) {
    lastError_ = ErrorFromErrno(errno);
    return false;
  }
  return true;
}

void TestPlatform::TrackbarSetRange(Window dialog, int id, int low, int high, bool redraw) {
  TestControl& c = Control(dialog, id);
  c.low = low;
  c.high = high;
  if (c.position < low) c.position = low;
  if (c.position > high) c.position = high;
  controlLog_.push_back("range " + std::to_string(id) + " " + std::to_string(low) + ".." + std::to_string(high) +
                        " redraw " + std::to_string(redraw ? 1 : 0));
}

// A trackbar keeps its position inside its range.
void TestPlatform::TrackbarSetPosition(Window dialog, int id, int position, bool redraw) {
  TestControl& c = Control(dialog, id);
  c.position = position < c.low ? c.low : position > c.high ? c.high : position;
  controlLog_.push_back("position " + std::to_string(id) + " " + std::to_string(position) + " redraw " +
                        std::to_string(redraw ? 1 : 0));
}

int TestPlatform::TrackbarPosition(Window dialog, int id) { return Control(dialog, id).position; }

void TestPlatform::CheckButton(Window dialog, int id, unsigned state) {
  Control(dialog, id).state = state;
  controlLog_.push_back("check " + std::to_string(id) + " " + std::to_string(state));
}

unsigned TestPlatform::ButtonState(Window dialog, int id) { return Control(dialog, id).state; }

void TestPlatform::SetItemText(Window dialog, int id, const char* text) {
  Control(dialog, id).text = text ? text : "";
  controlLog_.push_back("text " + std::to_string(id) + " " + Control(dialog, id).text);
}

}  // namespace saver
