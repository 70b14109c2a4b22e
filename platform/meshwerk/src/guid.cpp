// GUID comparison and text form.
#include "meshwerk/guid.h"

#include <stdio.h>
#include <string.h>

namespace meshwerk {

bool GuidEqual(const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof(GUID)) == 0; }

void GuidToText(const GUID& g, char out[kGuidTextSize]) {
  snprintf(out, kGuidTextSize, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
           static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
           g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

bool GuidFromText(const char* text, GUID* out) {
  if (text == nullptr || out == nullptr || strlen(text) != 36) return false;
  uint8_t bytes[16];
  int n = 0;
  for (int i = 0; i < 36;) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return false;
      ++i;
      continue;
    }
    int hi = HexDigit(text[i]);
    int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[n++] = static_cast<uint8_t>(hi * 16 + lo);
    i += 2;
  }
  out->Data1 = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
  out->Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  out->Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  memcpy(out->Data4, bytes + 8, 8);
  return true;
}

}  // namespace meshwerk
