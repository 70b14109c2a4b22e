// PointerArray: the package reader's entry table.
#include "pointer_array.h"

#include <stdlib.h>
#include <string.h>

namespace saver {

namespace {
// Beyond this many pointers the storage would not fit a 32-bit address space.
constexpr int64_t kMaxCapacity = 0x10000000;
}

PointerArray::~PointerArray() { free(items_); }

bool PointerArray::Grow(int64_t capacity) {
  if (capacity > kMaxCapacity) return false;
  void** grown = static_cast<void**>(realloc(items_, static_cast<size_t>(capacity) * sizeof(void*)));
  if (grown == nullptr) return false;
  items_ = grown;
  capacity_ = static_cast<int32_t>(capacity);
  return true;
}

int32_t PointerArray::Append(void* item) {
  if (count_ >= capacity_ && !Grow(static_cast<int64_t>(capacity_ * 1.25 + 32))) return -1;
  items_[count_] = item;
  return count_++;
}

void* PointerArray::Get(int32_t index) const {
  if (index < 0 || index >= count_) return nullptr;
  return items_[index];
}

void PointerArray::Set(int32_t index, void* item) {
  if (index < 0) return;
  if (index >= count_ && !Resize(index + 1)) return;
  items_[index] = item;
}

bool PointerArray::Resize(int32_t n) {
  if (n < 0) return false;
  if (n >= capacity_ - 1 && !Grow(static_cast<int64_t>(n * 1.25 + 32))) return false;
  if (n > count_) memset(items_ + count_, 0, static_cast<size_t>(n - count_) * sizeof(void*));
  count_ = n;
  return true;
}

}  // namespace saver
