// CRC-32 as IEEE 802.3 and zlib compute it.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace saver {

class Crc32Table {
 public:
  // Builds the table by the bit-reflected method.
  Crc32Table();
  virtual ~Crc32Table();
  uint32_t Compute(const void* data, size_t length) const;
  uint32_t Value(int i) const { return table_[i & 0xFF]; }

 private:
  uint32_t table_[256];
};

}  // namespace saver
