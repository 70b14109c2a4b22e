// The screen-saver host: binding the engine (project name, registry, search
// path, engine library, project start) and the procedures the screen-saver
// library calls for the saver window and the configure dialog.
#pragma once

#include <stdint.h>

#include "host/engine/engine.h"
#include "host/settings/saver_settings.h"
#include "host/system/platform.h"

namespace saver {

constexpr char kRegistryRoot[] = "SOFTWARE\\Korvane\\Lumora Viewers\\4.20.000";
constexpr char kProduct[] = "Lumora";
constexpr uintptr_t kFrameTimer = 10;
constexpr int kNameBuffer = 259;
constexpr int kKeyPathBuffer = 264;
constexpr uint32_t kFolderQueryBuffer = 1200;
// The environment's own limit on a variable's length.
constexpr size_t kMaxPathVariable = 32767;

class Host {
 public:
  Host(Platform& platform, SaverSettings& settings);
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // ---- engine binding
  // Binds and starts the engine once, then readies the saver settings.
  void InitEngine(Window window);
  // Hands the engine the project file and the saver flags and starts the
  // project; true when it runs. On failure: its message, engine released.
  bool LaunchProject(Window window);
  // The "DisplayName" of the project's key into buffer (length bytes with
  // the terminator, zero-filled); false when not found or not fitting.
  bool LookUpProjectFolder(const char* projectName, char* buffer, uint32_t length);
  // Extends PATH, loads folder\meshwerk.dll and asks it for its interface.
  engine::EngineControl* LoadEngine(const char* folder);
  // Puts folder\channels and folder\3rd in front of PATH unless the folder
  // text occurs in it already.
  void ExtendSearchPath(const char* folder);

  // ---- the library's callbacks
  intptr_t ScreenSaverProc(Window window, unsigned message, uintptr_t wParam, intptr_t lParam);
  intptr_t ScreenSaverConfigureDialog(Window dialog, unsigned message, uintptr_t wParam, intptr_t lParam);
  bool RegisterDialogClasses(void* instance);
  void StartSaver(Window window);
  void StopSaver(Window window);

  engine::EngineControl* Engine() const { return engine_; }
  bool Running() const { return running_; }
  const char* ProjectFolder() const { return projectFolder_; }

 private:
  bool PowerOffRefuses();
  void ReleaseEngine();

  Platform& platform_;
  SaverSettings& settings_;
  engine::EngineControl* engine_ = nullptr;
  bool running_ = false;
  char projectFolder_[kNameBuffer + 1] = {0};
};

}  // namespace saver
