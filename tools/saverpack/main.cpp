// saverpack: writes a copy of a host program with an appended data package,
// or lists the package of a packaged program.
//
//   saverpack --host PROGRAM --out FILE --project NAME [--form raw|lzma]
//             [--entry SECTION KEY FILE]... [--text SECTION KEY TEXT]...
//   saverpack --list FILE
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "host/package/crc32.h"
#include "host/package/package_reader.h"
#include "package_writer.h"

#if defined(_WIN32)
#include "host/system/win32_platform.h"
using FilePlatform = saver::Win32Platform;
#else
#include "host/system/test_platform.h"
using FilePlatform = saver::TestPlatform;
#endif

namespace {

using saverpack::Bytes;

// The reader's platform for a listing: the program named on its command
// line, message boxes as lines on standard error.
class ListingPlatform : public FilePlatform {
 public:
  explicit ListingPlatform(const std::string& path) : commandLine_("\"" + path + "\"") {}
  std::string CommandLine() override { return commandLine_; }
  int ShowMessageBox(void*, const char* text, const char* caption, unsigned) override {
    fprintf(stderr, "saverpack: reader says \"%s\" (%s)\n", text, caption);
    return saver::kIdOk;
  }
  void WriteStandardOutput(const char*) override {}

 private:
  std::string commandLine_;
};

int Usage() {
  fprintf(stderr,
          "usage: saverpack --host PROGRAM --out FILE --project NAME [--form raw|lzma]\n"
          "                 [--entry SECTION KEY FILE]... [--text SECTION KEY TEXT]...\n"
          "       saverpack --list FILE\n");
  return 1;
}

bool ReadFile(const std::string& path, Bytes* out, std::string* error) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) {
    *error = "cannot read '" + path + "': " + strerror(errno);
    return false;
  }
  out->clear();
  unsigned char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  const bool ok = !ferror(f);
  fclose(f);
  if (!ok) *error = "cannot read '" + path + "'";
  return ok;
}

int List(const std::string& path) {
  Bytes probe;
  std::string error;
  if (!ReadFile(path, &probe, &error)) {
    fprintf(stderr, "saverpack: %s\n", error.c_str());
    return 2;
  }
  ListingPlatform platform(path);
  saver::PackageReader reader(platform);
  if (reader.EntryCount() == 0) {
    printf("%s: no entries\n", path.c_str());
    return 1;
  }
  printf("%s: %s form, marker at %d, %d entries\n", path.c_str(), reader.Form() == 2 ? "lzma" : "raw",
         reader.MarkerOffset(), reader.EntryCount());
  int bad = 0;
  const saver::Crc32Table crc;
  for (int32_t i = 0; i < reader.EntryCount(); ++i) {
    const saver::PackageEntry* e = reader.Entry(i);
    // The first entry of that section and key is what a lookup delivers.
    bool first = true;
    for (int32_t j = 0; j < i; ++j)
      if (strcasecmp(reader.Entry(j)->key, e->key) == 0 && strcasecmp(reader.Entry(j)->section, e->section) == 0)
        first = false;
    const char* state = "shadowed by an earlier entry";
    if (first) {
      if (!reader.Lookup(e->key, nullptr, 0, e->section)) {
        state = "data outside the package";
        ++bad;
      } else if (crc.Compute(reader.CopiedData(), reader.CopiedSize()) == e->crc) {
        state = "CRC-32 ok";
      } else {
        state = "CRC-32 MISMATCH";
        ++bad;
      }
    }
    printf("  %s / %s: %u bytes, CRC-32 %08X, %s\n", e->section, e->key, e->size, e->crc, state);
  }
  return bad == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--list") return List(args[1]);

  std::string host, out, project, form = "raw";
  std::vector<saverpack::Entry> entries;
  std::string error;
  bool haveProject = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto need = [&](size_t n) { return i + n < args.size(); };
    if (a == "--host" && need(1)) {
      host = args[++i];
    } else if (a == "--out" && need(1)) {
      out = args[++i];
    } else if (a == "--project" && need(1)) {
      project = args[++i];
      haveProject = true;
    } else if (a == "--form" && need(1)) {
      form = args[++i];
    } else if (a == "--entry" && need(3)) {
      saverpack::Entry e{args[i + 1], args[i + 2], {}};
      if (!ReadFile(args[i + 3], &e.data, &error)) {
        fprintf(stderr, "saverpack: %s\n", error.c_str());
        return 2;
      }
      entries.push_back(e);
      i += 3;
    } else if (a == "--text" && need(3)) {
      const std::string& text = args[i + 3];
      saverpack::Entry e{args[i + 1], args[i + 2], Bytes(text.begin(), text.end())};
      e.data.push_back(0);
      entries.push_back(e);
      i += 3;
    } else {
      return Usage();
    }
  }
  if (host.empty() || out.empty() || !haveProject || (form != "raw" && form != "lzma")) return Usage();
  // The host reads the project name into a 259-byte field with its NUL.
  if (project.empty() || project.size() > 258) {
    fprintf(stderr, "saverpack: project name must have 1 to 258 characters\n");
    return 1;
  }
  Bytes name(project.begin(), project.end());
  name.push_back(0);
  entries.insert(entries.begin(), saverpack::Entry{"APPDATA", "ProjectName", name});

  Bytes program;
  if (!ReadFile(host, &program, &error)) {
    fprintf(stderr, "saverpack: %s\n", error.c_str());
    return 2;
  }
  if (program.size() > 0x7FFFFFFFu) {
    fprintf(stderr, "saverpack: host program too large\n");
    return 1;
  }
  Bytes package;
  if (!saverpack::BuildPackage(entries, form == "lzma" ? saverpack::Form::kLzma : saverpack::Form::kRaw,
                               static_cast<uint32_t>(program.size()), &package, &error)) {
    fprintf(stderr, "saverpack: %s\n", error.c_str());
    return 1;
  }
  FILE* f = fopen(out.c_str(), "wb");
  if (f == nullptr) {
    fprintf(stderr, "saverpack: cannot write '%s': %s\n", out.c_str(), strerror(errno));
    return 2;
  }
  bool ok = fwrite(program.data(), 1, program.size(), f) == program.size() &&
            fwrite(package.data(), 1, package.size(), f) == package.size();
  ok = (fclose(f) == 0) && ok;
  if (!ok) {
    fprintf(stderr, "saverpack: cannot write '%s'\n", out.c_str());
    remove(out.c_str());
    return 2;
  }
  printf("saverpack: wrote %s (%s form, %zu entries, package %zu bytes)\n", out.c_str(), form.c_str(),
         entries.size(), package.size());
  return 0;
}
