// Engine binding: the project's name from the package, its folder from the
// registry, the search path, the engine library, the project start.
#include <stdio.h>
#include <string.h>

#include <string>

#include "host/package/package_reader.h"
#include "host/saver/host.h"

namespace saver {

namespace {
constexpr char kLibraryName[] = "\\meshwerk.dll";
constexpr char kStartError[] =
    "There was an error starting the Lumora Screen Saver Viewer.\r\nPlease Re-install Screen Saver";
}  // namespace

Host::Host(Platform& platform, SaverSettings& settings) : platform_(platform), settings_(settings) {
  settings_.UsePlatform(&platform_);
}

void Host::ReleaseEngine() {
  if (engine_ == nullptr) return;
  engine_->Release(1);
  engine_ = nullptr;
}

void Host::InitEngine(Window window) {
  if (engine_ == nullptr) {
    char name[kNameBuffer] = {0};
    if (!ReadPackageEntry(platform_, "ProjectName", name, kNameBuffer)) {
      char code[16];
      snprintf(code, sizeof code, "%u", static_cast<unsigned>(platform_.LastError()));
      platform_.ShowMessageBox(nullptr, code, "Error while retrieving the project name", kMbOk);
      return;
    }
    name[kNameBuffer - 1] = '\0';
    // A failed lookup leaves the folder empty; LoadEngine then refuses it.
    memset(projectFolder_, 0, sizeof projectFolder_);
    LookUpProjectFolder(name, projectFolder_, kNameBuffer);
    engine::EngineControl* control = LoadEngine(projectFolder_);
    if (control == nullptr) {
      platform_.ShowMessageBox(window, projectFolder_, "Engine init error", kMbOk | kMbIconError);
      return;
    }
    engine_ = control;
    engine_->SetProjectFolder(projectFolder_);
    engine_->SetRegistryKey(kRegistryRoot);
    if (!engine_->StartEngine(platform_.ModuleInstance(), kProduct, window)) return;
  }
  settings_.SetProjectFolder(projectFolder_);
  settings_.SetEngineCore(engine_->GetEngineCore());
  settings_.Load();
}

bool Host::LookUpProjectFolder(const char* projectName, char* buffer, uint32_t length) {
  char keyPath[kKeyPathBuffer];
  const int n = snprintf(keyPath, sizeof keyPath, "%s\\%s", kRegistryRoot, projectName);
  if (n < 0 || n >= kKeyPathBuffer) return false;  // a key path that does not fit is not looked up
  RegistryKey key = 0;
  if (!platform_.RegistryOpen(keyPath, &key)) return false;
  char value[kFolderQueryBuffer];
  memset(value, 0, sizeof value);
  uint32_t size = kFolderQueryBuffer;
  uint32_t type = 0;
  const long result = platform_.RegistryQuery(key, "DisplayName", &type, value, &size);
  // The size test comes first, whatever the query's outcome.
  if (size > length || result != 0 || type != kRegSz) {
    platform_.RegistryClose(key);
    return false;
  }
  value[kFolderQueryBuffer - 1] = '\0';
  memset(buffer, 0, length);
  strncpy(buffer, value, length - 1);
  platform_.RegistryClose(key);
  return true;
}

engine::EngineControl* Host::LoadEngine(const char* folder) {
  ExtendSearchPath(folder);
  char path[kNameBuffer + 1];
  // An empty folder would name a library at the drive's root: refused, as
  // is a path that does not fit.
  const int n = snprintf(path, sizeof path, "%s%s", folder, kLibraryName);
  if (folder[0] == '\0' || n < 0 || n > kNameBuffer) return nullptr;
  const Library library = platform_.OpenLibrary(path);
  if (library == 0) return nullptr;
  auto getInstance =
      reinterpret_cast<engine::GetEngineControlInstanceFn>(platform_.LibrarySymbol(library, "GetEngineControlInstance"));
  if (getInstance == nullptr) return nullptr;
  return getInstance();
}

// PATH is read and composed at its full length (the environment allows
// 32767 characters), so nothing of the old value is cut or lost.
void Host::ExtendSearchPath(const char* folderText) {
  std::string folder(folderText, strnlen(folderText, kNameBuffer));
  std::string path;
  const uint32_t needed = platform_.GetEnvironment("PATH", nullptr, 0);
  if (needed > 0) {
    std::string buffer(needed, '\0');
    const uint32_t got = platform_.GetEnvironment("PATH", &buffer[0], needed);
    if (got < needed) path.assign(buffer.c_str(), got);
  }
  if (path.find(folder) != std::string::npos) return;
  const std::string extended = folder + "\\channels;" + folder + "\\3rd;" + path;
  if (extended.size() > kMaxPathVariable) return;  // the environment would refuse it
  platform_.SetEnvironment("PATH", extended.c_str());
}

bool Host::LaunchProject(Window window) {
  char name[kNameBuffer] = {0};
  if (!ReadPackageEntry(platform_, "ProjectName", name, kNameBuffer)) {
    platform_.ShowMessageBox(nullptr, "Can't find ProjectName", "Error", kMbOk);
    return false;
  }
  if (engine_ != nullptr) {
    engine_->SetProjectFile(settings_.GetProjectFile());
    if (engine::EngineCore* core = engine_->GetEngineCore()) {
      if (engine::ValueChannel* saver = core->FindChannel(engine::kValueChannelType, "LumoSaver")) saver->SetValue(1.0f);
      if (engine::ValueChannel* preview = core->FindChannel(engine::kValueChannelType, "LumoSaverPreview"))
        preview->SetValue(platform_.IsPreview() ? 1.0f : 0.0f);
    }
    if (engine_->StartProject() == 0) return true;
  }
  platform_.ShowMessageBox(window, kStartError, "Lumora Screen Saver Viewer", kMbOk | kMbIconError);
  ReleaseEngine();
  return false;
}

}  // namespace saver
