// The package and 7z archive writers.
#include "package_writer.h"

#include <string.h>

#include "host/package/crc32.h"
#include "host/package/package_reader.h"

extern "C" {
#include "7zCrc.h"
#include "LzmaEnc.h"
}

namespace saverpack {

namespace {

void PutU32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void PutU64(Bytes& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void PutName(Bytes& out, const std::string& name) {
  PutU32(out, static_cast<uint32_t>(name.size() + 1));
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
}

// The 7z archive's variable-length number.
void PutNumber(Bytes& out, uint64_t v) {
  unsigned char first = 0, mask = 0x80;
  int i;
  for (i = 0; i < 8; ++i) {
    if (v < (uint64_t(1) << (7 * (i + 1)))) {
      first |= static_cast<unsigned char>(v >> (8 * i));
      break;
    }
    first |= mask;
    mask >>= 1;
  }
  out.push_back(first);
  for (; i > 0; --i) {
    out.push_back(static_cast<unsigned char>(v));
    v >>= 8;
  }
}

// Where the data offset field sits in the block: behind the count and the entries.
size_t DataOffsetField(const std::vector<Entry>& entries) {
  size_t at = 4;
  for (const Entry& e : entries) at += 4 + e.section.size() + 1 + 4 + e.key.size() + 1 + 4 + 4;
  return at;
}

uint32_t Crc(const void* data, size_t size) { return saver::Crc32Table().Compute(data, size); }

void* Alloc(ISzAllocPtr, size_t size) { return size ? malloc(size) : nullptr; }
void Free(ISzAllocPtr, void* address) { free(address); }
const ISzAlloc kAllocator = {Alloc, Free};

}  // namespace

Bytes BuildBlock(const std::vector<Entry>& entries) {
  Bytes out;
  PutU32(out, static_cast<uint32_t>(entries.size()));
  for (const Entry& e : entries) {
    PutName(out, e.section);
    PutName(out, e.key);
    PutU32(out, static_cast<uint32_t>(e.data.size()));
    PutU32(out, Crc(e.data.data(), e.data.size()));
  }
  PutU32(out, static_cast<uint32_t>(out.size() + 4));  // D: the data follow directly
  for (const Entry& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
  return out;
}

bool BuildPackage(const std::vector<Entry>& entries, Form form, uint32_t markerOffset, Bytes* out,
                  std::string* error) {
  for (const Entry& e : entries) {
    if (e.section.empty() || e.key.empty()) {
      *error = "section and key must not be empty";
      return false;
    }
    if (e.section.size() > kMaxName || e.key.size() > kMaxName) {
      *error = "name too long (at most 259 characters): " + (e.section.size() > kMaxName ? e.section : e.key);
      return false;
    }
    if (e.section.find('\0') != std::string::npos || e.key.find('\0') != std::string::npos) {
      *error = "names must not hold a NUL";
      return false;
    }
  }
  Bytes package(saver::kPackageMarker, saver::kPackageMarker + saver::kPackageMarkerSize);
  const Bytes block = BuildBlock(entries);
  if (form == Form::kRaw) {
    package.insert(package.end(), {'R', 'A', 'W', 'S'});
    // D counts from the marker: shift the block's own offset by the 40
    // bytes of marker and tag in front of it.
    Bytes raw = block;
    const size_t dField = DataOffsetField(entries);
    const uint32_t d = static_cast<uint32_t>(dField + 4 + saver::kPackageMarkerSize + 4);
    for (int i = 0; i < 4; ++i) raw[dField + static_cast<size_t>(i)] = static_cast<unsigned char>(d >> (8 * i));
    package.insert(package.end(), raw.begin(), raw.end());
  } else {
    if (block.size() > saver::kMaxPackageBlock) {
      *error = "package too large";
      return false;
    }
    Bytes archive;
    if (!BuildSevenZip(block, "package.bin", &archive, error)) return false;
    package.insert(package.end(), {'L', 'Z', 'M', 'A'});
    PutU32(package, static_cast<uint32_t>(block.size()));
    PutU32(package, static_cast<uint32_t>(archive.size()));
    package.insert(package.end(), archive.begin(), archive.end());
  }
  PutU32(package, markerOffset);
  *out = std::move(package);
  return true;
}

bool BuildSevenZip(const Bytes& content, const std::string& name, Bytes* out, std::string* error) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = 7;
  props.dictSize = 1u << 22;
  props.numThreads = 1;
  SizeT packedSize = content.size() + content.size() / 2 + 1024;
  Bytes packed(packedSize);
  Byte properties[LZMA_PROPS_SIZE];
  SizeT propertiesSize = LZMA_PROPS_SIZE;
  const SRes r = LzmaEncode(packed.data(), &packedSize, content.data(), content.size(), &props, properties,
                            &propertiesSize, 0, nullptr, &kAllocator, &kAllocator);
  if (r != SZ_OK) {
    *error = "LZMA encoder failed with code " + std::to_string(r);
    return false;
  }
  packed.resize(packedSize);

  Bytes header;
  header.push_back(0x01);  // header
  header.push_back(0x04);  // main streams
  header.push_back(0x06);  // pack info
  PutNumber(header, 0);
  PutNumber(header, 1);
  header.push_back(0x09);  // sizes
  PutNumber(header, packed.size());
  header.push_back(0x00);
  header.push_back(0x07);  // unpack info
  header.push_back(0x0B);  // folders
  PutNumber(header, 1);
  header.push_back(0x00);  // not external
  PutNumber(header, 1);    // one coder
  header.push_back(0x23);  // 3-byte id, with properties
  header.insert(header.end(), {0x03, 0x01, 0x01});  // LZMA
  PutNumber(header, propertiesSize);
  header.insert(header.end(), properties, properties + propertiesSize);
  header.push_back(0x0C);  // unpack sizes
  PutNumber(header, content.size());
  header.push_back(0x00);
  header.push_back(0x08);  // substreams
  header.push_back(0x0A);  // CRCs
  header.push_back(0x01);  // all defined
  PutU32(header, Crc(content.data(), content.size()));
  header.push_back(0x00);
  header.push_back(0x00);  // end of main streams
  header.push_back(0x05);  // files
  PutNumber(header, 1);
  header.push_back(0x11);  // names
  PutNumber(header, 1 + (name.size() + 1) * 2);
  header.push_back(0x00);  // not external
  for (char c : name) {
    header.push_back(static_cast<unsigned char>(c));
    header.push_back(0);
  }
  header.push_back(0);
  header.push_back(0);
  header.push_back(0x00);  // end of files
  header.push_back(0x00);  // end of header

  Bytes start;  // next header offset, size, CRC
  PutU64(start, packed.size());
  PutU64(start, header.size());
  PutU32(start, Crc(header.data(), header.size()));
  Bytes archive = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
  PutU32(archive, Crc(start.data(), start.size()));
  archive.insert(archive.end(), start.begin(), start.end());
  archive.insert(archive.end(), packed.begin(), packed.end());
  archive.insert(archive.end(), header.begin(), header.end());
  *out = std::move(archive);
  return true;
}

}  // namespace saverpack
