// The saver settings: the frame interval, whether input ends the saver,
// whether the preview pane runs the project, and the project file; kept in
// screensaver.cfg in the project folder through the engine's tagged-file
// objects, and edited in the configure dialog (resource 2003).
#pragma once

#include <stdint.h>

#include "host/engine/engine.h"
#include "host/system/platform.h"

namespace saver {

// Dialog 2003's controls.
constexpr int kIdOkButton = 1;
constexpr int kIdSlider = 1002;
constexpr int kIdFrameRateLabel = 1003;
constexpr int kIdQuitDisabled = 1005;
constexpr int kIdPreviewEnabled = 1006;

constexpr int kFieldSize = 260;
constexpr int kSliderLowest = 1;
constexpr int kSliderHighest = 100;

class SaverSettings {
 public:
  SaverSettings();
  SaverSettings(const SaverSettings&) = delete;
  SaverSettings& operator=(const SaverSettings&) = delete;

  virtual ~SaverSettings();
  // Slider range and position, check boxes, frame-rate label.
  virtual void FillDialog(Window dialog);
  // Slider and check boxes into the record, then Save.
  virtual void ReadDialogAndSave(Window dialog);
  virtual const char* GetProjectFile();
  virtual int32_t GetFrameInterval();
  virtual uint8_t IsPreviewEnabled();
  virtual uint8_t IsQuitDisabled();
  // Reads screensaver.cfg; fields whose block is missing keep their values.
  virtual void Load();
  // Writes the four blocks.
  virtual void Save();
  virtual void SetEngineCore(engine::EngineCore* core);
  // Keeps at most the first 259 characters.
  virtual void SetProjectFolder(const char* folder);
  // The slider's position becomes the frame interval; the label follows.
  virtual void OnSliderMoved();

  // The platform the dialog and message box operations go to.
  void UsePlatform(Platform* platform) { platform_ = platform; }
  // The label text for an interval: 1000 / interval, then " FPS".
  static void FrameRateText(int32_t interval, char out[32]);

 private:
  // Project folder + separator + "screensaver.cfg"; false when that does
  // not fit 260 characters.
  bool SettingsPath(char out[kFieldSize]) const;

  engine::EngineCore* core_ = nullptr;
  char projectFile_[kFieldSize] = {0};
  int32_t frameInterval_ = 0;
  uint8_t previewEnabled_ = 0;
  uint8_t quitDisabled_ = 0;
  Window dialog_ = nullptr;
  char projectFolder_[kFieldSize] = {0};
  Platform* platform_ = nullptr;
};

// The one process-wide record, constructed before the program's entry.
SaverSettings& TheSaverSettings();

}  // namespace saver
