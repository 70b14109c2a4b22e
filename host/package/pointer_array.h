// A growable array of pointers that does not own what they point to.
#pragma once

#include <stdint.h>

namespace saver {

class PointerArray {
 public:
  PointerArray() = default;
  PointerArray(const PointerArray&) = delete;
  PointerArray& operator=(const PointerArray&) = delete;
  // Frees the storage, not what the pointers point to.
  virtual ~PointerArray();

  // The new item's index, or -1 when no room could be made. A full array
  // grows to capacity * 1.25 + 32 (0, 32, 72, 122, 184 ...).
  int32_t Append(void* item);
  // Null for an index outside 0..Count()-1.
  void* Get(int32_t index) const;
  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  // Ignored for a negative index; an index at or beyond Count() first
  // resizes the array to index + 1.
  void Set(int32_t index, void* item);
  // New slots are null. When n is at least capacity - 1 the capacity first
  // becomes n * 1.25 + 32. False when n does not fit.
  bool Resize(int32_t n);

 private:
  bool Grow(int64_t capacity);

  void** items_ = nullptr;
  int32_t count_ = 0;
  int32_t capacity_ = 0;
};

}  // namespace saver
