// SaverSettings: screensaver.cfg through the engine's file objects, and the
// configure dialog's controls through the platform.
#include "host/settings/saver_settings.h"

#include <stdio.h>
#include <string.h>

namespace saver {

namespace {

#if defined(_WIN32)
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';  // the native builds' file system
#endif
constexpr char kSettingsFile[] = "screensaver.cfg";
constexpr int kProjectFileBlock = 259;
// A settings file holds four small blocks; anything larger is not one.
constexpr int64_t kMaxSettingsFile = 65536;

SaverSettings g_settings;

}  // namespace

SaverSettings& TheSaverSettings() { return g_settings; }

SaverSettings::SaverSettings() = default;
SaverSettings::~SaverSettings() = default;

void SaverSettings::FrameRateText(int32_t interval, char out[32]) {
  // The slider shows position 1 for an interval of 0 (no settings yet), so
  // the label says what position 1 means.
  snprintf(out, 32, "%d FPS", 1000 / (interval < kSliderLowest ? kSliderLowest : interval));
}

void SaverSettings::FillDialog(Window dialog) {
  dialog_ = dialog;
  platform_->TrackbarSetRange(dialog, kIdSlider, kSliderLowest, kSliderHighest, false);
  platform_->TrackbarSetPosition(dialog, kIdSlider, frameInterval_, true);
  platform_->CheckButton(dialog, kIdQuitDisabled, quitDisabled_);
  platform_->CheckButton(dialog, kIdPreviewEnabled, previewEnabled_);
  char label[32];
  FrameRateText(frameInterval_, label);
  platform_->SetItemText(dialog, kIdFrameRateLabel, label);
}

void SaverSettings::OnSliderMoved() {
  frameInterval_ = platform_->TrackbarPosition(dialog_, kIdSlider);
  char label[32];
  FrameRateText(frameInterval_, label);
  platform_->SetItemText(dialog_, kIdFrameRateLabel, label);
}

void SaverSettings::ReadDialogAndSave(Window dialog) {
  frameInterval_ = platform_->TrackbarPosition(dialog, kIdSlider);
  quitDisabled_ = platform_->ButtonState(dialog, kIdQuitDisabled) == kChecked ? 1 : 0;
  previewEnabled_ = platform_->ButtonState(dialog, kIdPreviewEnabled) == kChecked ? 1 : 0;
  Save();
}

const char* SaverSettings::GetProjectFile() { return projectFile_; }
int32_t SaverSettings::GetFrameInterval() { return frameInterval_; }
uint8_t SaverSettings::IsPreviewEnabled() { return previewEnabled_; }
uint8_t SaverSettings::IsQuitDisabled() { return quitDisabled_; }
void SaverSettings::SetEngineCore(engine::EngineCore* core) { core_ = core; }

void SaverSettings::SetProjectFolder(const char* folder) {
  snprintf(projectFolder_, sizeof projectFolder_, "%s", folder ? folder : "");
}

bool SaverSettings::SettingsPath(char out[kFieldSize]) const {
  const int n = snprintf(out, kFieldSize, "%s%c%s", projectFolder_, kSeparator, kSettingsFile);
  return n > 0 && n < kFieldSize;
}

// Every block is read into a scratch buffer as large as the settings file
// (no block can be larger than the file that holds it), and at most the
// field's size goes on into the field: a block larger than its field
// cannot overrun it.
void SaverSettings::Load() {
  engine::FileLoader* loader =
      core_ ? static_cast<engine::FileLoader*>(core_->CreateObject(engine::kFileLoaderClass, 0, 0)) : nullptr;
  if (loader == nullptr) {
    platform_->ShowMessageBox(nullptr, "Can't init fileloader", "P", kMbOk);
    return;
  }
  char path[kFieldSize];
  int64_t fileSize = -1;
  if (SettingsPath(path)) {
    const FileHandle f = platform_->OpenForReading(path);
    if (f != kInvalidFile) {
      if (!platform_->Seek(f, 0, SeekFrom::kEnd, &fileSize)) fileSize = -1;
      platform_->Close(f);
    }
  }
  if (fileSize > 0 && fileSize <= kMaxSettingsFile && loader->Open(path)) {
    unsigned char* scratch = new unsigned char[static_cast<size_t>(fileSize)];
    struct Block {
      char tag[5];
      void* field;
      size_t size;
    } blocks[] = {
        {"SCFP", projectFile_, kProjectFileBlock},
        {"SCTI", &frameInterval_, sizeof frameInterval_},
        {"SCQC", &quitDisabled_, sizeof quitDisabled_},
        {"SCSP", &previewEnabled_, sizeof previewEnabled_},
    };
    for (Block& b : blocks) {
      if (!loader->GetInfoIfTag(b.tag)) continue;
      memset(scratch, 0, static_cast<size_t>(fileSize));
      loader->CopyTagDataToPointer(scratch);
      memcpy(b.field, scratch, b.size < static_cast<size_t>(fileSize) ? b.size : static_cast<size_t>(fileSize));
    }
    projectFile_[kFieldSize - 1] = '\0';
    projectFile_[kProjectFileBlock] = '\0';
    delete[] scratch;
  }
  loader->Release(1);
}

void SaverSettings::Save() {
  engine::FileSaver* saver =
      core_ ? static_cast<engine::FileSaver*>(core_->CreateObject(engine::kFileSaverClass, 0, 0)) : nullptr;
  if (saver == nullptr) return;
  char path[kFieldSize];
  if (SettingsPath(path) && saver->OpenForWrite(path, 0)) {
    // The field's first 259 bytes: the text, then what follows it in the
    // field (zeros, unless a loaded block brought other bytes).
    saver->SaveTag("SCFP");
    saver->SaveBlockSize(kProjectFileBlock);
    saver->SaveDataToFile(projectFile_, kProjectFileBlock);
    saver->SaveTag("SCTI");
    saver->SaveBlockSize(4);
    saver->SaveDataToFile(&frameInterval_, 4);
    saver->SaveTag("SCQC");
    saver->SaveBlockSize(1);
    saver->SaveDataToFile(&quitDisabled_, 1);
    saver->SaveTag("SCSP");
    saver->SaveBlockSize(1);
    saver->SaveDataToFile(&previewEnabled_, 1);
  }
  saver->Close();
}

}  // namespace saver
