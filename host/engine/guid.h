// The 128-bit identifier with the platform's layout, for builds without the
// Windows headers.
#pragma once

#include <stdint.h>

#if !defined(_WIN32) && !defined(GUID_DEFINED)
#define GUID_DEFINED
typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
#endif
