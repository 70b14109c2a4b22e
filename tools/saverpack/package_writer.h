// Writing the appended data package: entries in the raw or the LZMA form,
// and the 7z archive the LZMA form holds.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace saverpack {

using Bytes = std::vector<unsigned char>;

struct Entry {
  std::string section;
  std::string key;
  Bytes data;
};

enum class Form { kRaw, kLzma };

// The longest section or key name: 259 characters and the NUL.
constexpr size_t kMaxName = 259;

// The entry table, data offset and data area, as the unpacked block (LZMA
// form) holds them; D counts from the block's first byte.
Bytes BuildBlock(const std::vector<Entry>& entries);
// The package (marker, form tag, ...) as it follows the program image, for a
// marker that will sit at file offset markerOffset; the trailer is appended.
// False with a message in *error on failure.
bool BuildPackage(const std::vector<Entry>& entries, Form form, uint32_t markerOffset, Bytes* out,
                  std::string* error);
// A 7z archive holding one item named name, compressed with LZMA.
bool BuildSevenZip(const Bytes& content, const std::string& name, Bytes* out, std::string* error);

}  // namespace saverpack
