// GUID constants the engine knows, and GUID <-> text in upper-case 8-4-4-4-12 form.
#pragma once

#include "meshwerk/api.h"

namespace meshwerk {

constexpr int kGuidTextSize = 37;  // 36 characters and the terminator

// Value channel type: one float, GetValue / SetValue.
constexpr GUID kValueChannelType = {0xBE69CCC4, 0xCFC1, 0x4362, {0xAC, 0x81, 0x76, 0x7D, 0x19, 0x9B, 0xBF, 0xC3}};
// Engine object classes made by the engine core's CreateObject.
constexpr GUID kFileLoaderClass = {0x0D762706, 0x382C, 0x4BDD, {0xA1, 0xC7, 0xE9, 0x55, 0x4B, 0x9F, 0x8B, 0xA7}};
constexpr GUID kFileSaverClass = {0x108C5C2D, 0x560A, 0x49D1, {0x83, 0x70, 0xDA, 0x8D, 0xB8, 0xE2, 0x8B, 0x1C}};
// What a child-slot record's second GUID holds until someone sets it.
constexpr GUID kChildCreationDefaultGuid = {0x11111111, 0x1111, 0x1111, {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11}};
constexpr GUID kNullGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

MESHWERK_API bool GuidEqual(const GUID& a, const GUID& b);
// Writes 36 characters and a terminator into out.
MESHWERK_API void GuidToText(const GUID& guid, char out[kGuidTextSize]);
// Accepts exactly 8-4-4-4-12 hexadecimal digits, either case; false otherwise.
MESHWERK_API bool GuidFromText(const char* text, GUID* out);

}  // namespace meshwerk
