// Package reading cost.
//   package_bench make FOLDER      writes raw_/lzma_ packages of 1 KiB, 1 MiB
//                                  and 32 MiB of mixed data, and the LZMA
//                                  packages' 7z archives alone (for 7zz)
//   package_bench read FILE N      ReadPackageEntry("ProjectName") N times;
//                                  prints milliseconds per read
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/package/package_reader.h"
#include "host/system/test_platform.h"
#include "package_writer.h"

namespace {

using saverpack::Bytes;

// Half compressible text, half pseudo-random bytes.
Bytes Mixed(size_t size) {
  Bytes out(size);
  uint32_t x = 2463534242u;
  const char text[] = "The quick brown fox jumps over the lazy saver. ";
  for (size_t i = 0; i < size; ++i) {
    if ((i / 4096) % 2 == 0) {
      out[i] = static_cast<unsigned char>(text[i % (sizeof text - 1)]);
    } else {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      out[i] = static_cast<unsigned char>(x);
    }
  }
  return out;
}

bool Write(const std::string& path, const Bytes& b) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(b.data(), 1, b.size(), f) == b.size();
  return fclose(f) == 0 && ok;
}

int Make(const std::string& folder) {
  const struct {
    const char* name;
    size_t size;
  } sizes[] = {{"1k", 1024}, {"1m", 1u << 20}, {"32m", 32u << 20}};
  for (const auto& s : sizes) {
    std::vector<saverpack::Entry> entries = {{"APPDATA", "ProjectName", Bytes{'B', 'e', 'n', 'c', 'h', 0}},
                                             {"DATA", "Payload", Mixed(s.size)}};
    const Bytes program(65536, 0x90);
    for (int form = 0; form < 2; ++form) {
      Bytes package;
      std::string error;
      if (!saverpack::BuildPackage(entries, form ? saverpack::Form::kLzma : saverpack::Form::kRaw,
                                   static_cast<uint32_t>(program.size()), &package, &error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
      }
      Bytes file = program;
      file.insert(file.end(), package.begin(), package.end());
      if (!Write(folder + "/" + (form ? "lzma_" : "raw_") + s.name + ".scr", file)) return 1;
      if (form) {
        // The archive alone: behind marker (36), tag (4), U (4), P (4).
        uint32_t packed;
        memcpy(&packed, package.data() + 44, 4);
        if (!Write(folder + "/lzma_" + s.name + ".7z", Bytes(package.begin() + 48, package.begin() + 48 + packed)))
          return 1;
      }
    }
  }
  return 0;
}

int Read(const std::string& file, int repeat) {
  char folder[] = "/tmp/package_bench_XXXXXX";
  if (!mkdtemp(folder)) return 1;
  saver::TestPlatform platform;
  platform.SetCommandLine("\"" + file + "\" /s");
  platform.SetTemporaryFolder(folder);
  char name[259];
  timespec a, b;
  clock_gettime(CLOCK_MONOTONIC, &a);
  for (int i = 0; i < repeat; ++i) {
    if (!saver::ReadPackageEntry(platform, "ProjectName", name, sizeof name)) {
      fprintf(stderr, "read failed\n");
      return 1;
    }
  }
  clock_gettime(CLOCK_MONOTONIC, &b);
  rmdir(folder);
  printf("%.3f\n", ((b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6) / repeat);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "make") == 0) return Make(argv[2]);
  if (argc == 4 && strcmp(argv[1], "read") == 0) return Read(argv[2], atoi(argv[3]));
  fprintf(stderr, "usage: package_bench make FOLDER | read FILE N\n");
  return 1;
}
