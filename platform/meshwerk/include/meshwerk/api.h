// Export/import markers and the few Windows types the engine's interfaces use.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#  include <windows.h>
#  if defined(MESHWERK_BUILD)
#    define MESHWERK_API __declspec(dllexport)
#  else
#    define MESHWERK_API __declspec(dllimport)
#  endif
#else
#  define MESHWERK_API __attribute__((visibility("default")))
// The same 128-bit identifier layout as the platform's GUID.
#if !defined(GUID_DEFINED)
#define GUID_DEFINED
typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
#endif
#endif

static_assert(sizeof(GUID) == 16, "GUID must be 16 bytes");
