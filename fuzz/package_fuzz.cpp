// The whole package reader on arbitrary file bytes: the bytes become the
// program file the command line names; both forms, the scan, the 7z
// extraction through its temporary file, and lookups with and without a
// buffer run on them.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "host/package/package_reader.h"
#include "host/system/test_platform.h"

namespace {

struct Paths {
  std::string folder;
  std::string program;
  Paths() {
    char pattern[] = "/tmp/package_fuzz_XXXXXX";
    folder = mkdtemp(pattern);
    program = folder + "/saver.scr";
  }
  ~Paths() { std::system(("rm -rf '" + folder + "'").c_str()); }
};

Paths& P() {
  static Paths paths;
  return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Paths& paths = P();
  FILE* f = fopen(paths.program.c_str(), "wb");
  if (f == nullptr) return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  saver::TestPlatform platform;
  platform.SetCommandLine("\"" + paths.program + "\" /s");
  platform.SetTemporaryFolder(paths.folder);
  platform.SetTickCount(static_cast<uint32_t>(size));
  {
    saver::PackageReader reader(platform);
    char buffer[259];
    reader.Lookup("ProjectName", buffer, sizeof buffer, "APPDATA");
    reader.Lookup("ProjectName", buffer, 3, nullptr);
    if (reader.Lookup("ProjectName", nullptr, 0, nullptr) && reader.CopiedSize() > 0) {
      volatile unsigned char sink = reader.CopiedData()[reader.CopiedSize() - 1];
      (void)sink;
    }
    for (int32_t i = 0; i < reader.EntryCount(); ++i) reader.Lookup(reader.Entry(i)->key, nullptr, 0, reader.Entry(i)->section);
  }
  // A failed extraction leaves its temporary file; its name follows from
  // the seed (the tick count set above).
  saver::TestPlatform same;
  same.SeedRandom(static_cast<uint32_t>(size));
  unlink((paths.folder + "/extractData" + std::to_string(same.Random()) + ".tmp").c_str());
  return 0;
}
