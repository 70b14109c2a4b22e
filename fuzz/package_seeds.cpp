// Writes fuzz seeds: packages made by saverpack's writer in both forms.
#include <stdio.h>

#include <string>
#include <vector>

#include "package_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: package_seeds FOLDER\n");
    return 1;
  }
  const std::string folder = argv[1];
  const std::string name = "Sample Project";
  std::vector<saverpack::Entry> entries = {
      {"APPDATA", "ProjectName", saverpack::Bytes(name.begin(), name.end())},
      {"DATA", "Extra", saverpack::Bytes(64, 0x41)},
  };
  entries[0].data.push_back(0);
  int written = 0;
  for (int form = 0; form < 2; ++form) {
    for (size_t image : {0, 300}) {
      saverpack::Bytes program(image, 0x90);
      saverpack::Bytes package;
      std::string error;
      if (!saverpack::BuildPackage(entries, form ? saverpack::Form::kLzma : saverpack::Form::kRaw,
                                   static_cast<uint32_t>(image), &package, &error))
        return 1;
      program.insert(program.end(), package.begin(), package.end());
      const std::string path = folder + "/seed_" + (form ? "lzma_" : "raw_") + std::to_string(image);
      FILE* f = fopen(path.c_str(), "wb");
      if (!f) return 1;
      fwrite(program.data(), 1, program.size(), f);
      fclose(f);
      ++written;
    }
  }
  printf("package_seeds: %d seeds in %s\n", written, folder.c_str());
  return 0;
}
