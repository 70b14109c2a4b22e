// The CRC-32 table, built from the polynomial 0x04C11DB7 with bits reflected.
#include "crc32.h"

namespace saver {

namespace {
uint32_t Reflect(uint32_t v, int bits) {
  uint32_t r = 0;
  for (int i = 0; i < bits; ++i)
    if (v & (1u << i)) r |= 1u << (bits - 1 - i);
  return r;
}
}  // namespace

Crc32Table::Crc32Table() {
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t v = Reflect(i, 8) << 24;
    for (int step = 0; step < 8; ++step) v = (v & 0x80000000u) ? (v << 1) ^ 0x04C11DB7u : v << 1;
    table_[i] = Reflect(v, 32);
  }
}

Crc32Table::~Crc32Table() = default;

uint32_t Crc32Table::Compute(const void* data, size_t length) const {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) crc = table_[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

}  // namespace saver
