// Runs under Wine: packages made by saverpack's writer in both forms, read
// back by the host's package reader through the Win32 platform operations
// (files, temporary folder, tick count, runtime random numbers). Prints
// "N passed, M failed".
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "host/package/package_reader.h"
#include "host/system/win32_platform.h"
#include "package_writer.h"

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    printf("FAILED %s\n", what.c_str());
  }
}

// The real platform, but the program it reads is the one named here, and
// message boxes are recorded instead of shown.
class ProbePlatform : public saver::Win32Platform {
 public:
  explicit ProbePlatform(const std::string& path) : commandLine_("\"" + path + "\" /s") {}
  std::string CommandLine() override { return commandLine_; }
  int ShowMessageBox(void*, const char* text, const char* caption, unsigned) override {
    boxes.push_back(std::string(text) + "|" + caption);
    return saver::kIdOk;
  }
  std::vector<std::string> boxes;

 private:
  std::string commandLine_;
};

int CountTemporaryFiles() {
  char folder[MAX_PATH + 1];
  GetTempPathA(sizeof folder, folder);
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA((std::string(folder) + "extractData*.tmp").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do ++n;
  while (FindNextFileA(h, &data));
  FindClose(h);
  return n;
}

void RemoveTemporaryFiles() {
  char folder[MAX_PATH + 1];
  GetTempPathA(sizeof folder, folder);
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA((std::string(folder) + "extractData*.tmp").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do DeleteFileA((std::string(folder) + data.cFileName).c_str());
  while (FindNextFileA(h, &data));
  FindClose(h);
}

std::string Write(const std::string& name, const saverpack::Bytes& bytes) {
  char folder[MAX_PATH + 1];
  GetTempPathA(sizeof folder, folder);
  const std::string path = std::string(folder) + name;
  FILE* f = fopen(path.c_str(), "wb");
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
  return path;
}

saverpack::Bytes Package(saverpack::Form form) {
  saverpack::Bytes program(20000, 0x90);
  program[0] = 'M';
  program[1] = 'Z';
  const std::string name = "Lumo Sample";
  std::vector<saverpack::Entry> entries = {
      {"APPDATA", "PROJECTNAME", saverpack::Bytes(name.begin(), name.end() + 1)},
      {"DATA", "Blob", saverpack::Bytes(100000, 0x41)},
  };
  entries[0].data.back() = 0;
  saverpack::Bytes package;
  std::string error;
  saverpack::BuildPackage(entries, form, static_cast<uint32_t>(program.size()), &package, &error);
  program.insert(program.end(), package.begin(), package.end());
  return program;
}

void ReadsBack(const char* formName, saverpack::Form form) {
  RemoveTemporaryFiles();
  const std::string path = Write(std::string("probe_") + formName + ".scr", Package(form));
  ProbePlatform platform(path);
  char name[259] = {0};
  const bool ok = saver::ReadPackageEntry(platform, "ProjectName", name, 259);
  Check(ok && strcmp(name, "Lumo Sample") == 0, std::string(formName) + ": project name read back");
  Check(platform.boxes.empty(), std::string(formName) + ": no message box");
  Check(CountTemporaryFiles() == 0, std::string(formName) + ": no temporary file left");
  DeleteFileA(path.c_str());
}

void DamagedArchiveIsRefused() {
  RemoveTemporaryFiles();
  saverpack::Bytes file = Package(saverpack::Form::kLzma);
  uint32_t marker = 0;
  memcpy(&marker, file.data() + file.size() - 4, 4);
  file[marker + 48 + 60] ^= 0x5A;  // inside the packed stream
  const std::string path = Write("probe_damaged.scr", file);
  ProbePlatform platform(path);
  char name[259] = {0};
  Check(!saver::ReadPackageEntry(platform, "ProjectName", name, 259), "damaged: refused");
  Check(platform.boxes.size() == 1 && platform.boxes[0] == "BAD DEC LZMA|TAG", "damaged: BAD DEC LZMA box");
  Check(CountTemporaryFiles() == 1, "damaged: the temporary file stays");
  RemoveTemporaryFiles();
  DeleteFileA(path.c_str());
}

void MissingProgram() {
  ProbePlatform platform("C:\\no\\such\\saver.scr");
  char name[259] = {0};
  Check(!saver::ReadPackageEntry(platform, "ProjectName", name, 259), "missing program: refused");
  Check(platform.boxes.size() == 21 && platform.boxes[0] == "6|" && platform.boxes[20] == "Data header not found!|",
        "missing program: 20 read errors, then the header message");
}

}  // namespace

int main() {
  ReadsBack("raw", saverpack::Form::kRaw);
  ReadsBack("lzma", saverpack::Form::kLzma);
  DamagedArchiveIsRefused();
  MissingProgram();
  printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
