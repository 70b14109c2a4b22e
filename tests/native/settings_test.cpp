// The saver settings through the real engine library's file objects and the
// test platform's dialog controls.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/settings/saver_settings.h"
#include "host/system/test_platform.h"
#include "meshwerk/engine.h"
#include "meshwerk/file.h"

namespace {

using saver::SaverSettings;

// An engine started as the host starts it; the settings see its core
// through the host's view of the engine's interfaces.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/settings_test_XXXXXX";
    folder_ = mkdtemp(pattern);
    engine_ = GetEngineControlInstance();
    ASSERT_TRUE(engine_->StartEngine(nullptr, "Lumora", nullptr));
    settings_.UsePlatform(&platform_);
    settings_.SetProjectFolder(folder_.c_str());
    settings_.SetEngineCore(Core());
  }
  void TearDown() override {
    engine_->Release(1);
    std::system(("rm -rf '" + folder_ + "'").c_str());
  }
  engine::EngineCore* Core() { return reinterpret_cast<engine::EngineCore*>(engine_->GetEngineCore()); }
  std::string CfgPath() const { return folder_ + "/screensaver.cfg"; }

  // Writes screensaver.cfg with the given blocks through the engine's saver.
  void WriteCfg(const std::vector<std::pair<std::string, std::vector<unsigned char>>>& blocks) {
    KvnFileSaver saver;
    ASSERT_TRUE(saver.OpenForWrite(CfgPath().c_str(), 0));
    for (const auto& b : blocks) {
      saver.SaveTag(b.first.c_str());
      saver.SaveBlockSize(static_cast<unsigned long>(b.second.size()));
      saver.SaveDataToFile(b.second.data(), static_cast<unsigned long>(b.second.size()));
    }
    ASSERT_TRUE(saver.Close());
  }
  // A block's data as the file holds it, or "(missing)".
  std::vector<unsigned char> Block(const char* tag) {
    KvnFileLoader loader;
    if (!loader.Open(CfgPath().c_str())) return {};
    char t[5];
    memcpy(t, tag, 5);
    if (!loader.GetInfoIfTag(t)) return {};
    std::vector<unsigned char> data(loader.GetTagDataSize());
    loader.CopyTagData(data.data(), static_cast<unsigned long>(data.size()));
    return data;
  }

  std::string folder_;
  Kvn_EngineControl* engine_ = nullptr;
  saver::TestPlatform platform_;
  SaverSettings settings_;
  saver::Window dialog_ = reinterpret_cast<saver::Window>(0x2003);
};

std::vector<unsigned char> U32(uint32_t v) {
  return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
          static_cast<unsigned char>(v >> 24)};
}

TEST_F(SettingsTest, WithoutAFileTheInitialValuesStay) {
  settings_.Load();
  EXPECT_EQ(settings_.GetFrameInterval(), 0);
  EXPECT_EQ(settings_.IsQuitDisabled(), 0);
  EXPECT_EQ(settings_.IsPreviewEnabled(), 0);
  EXPECT_STREQ(settings_.GetProjectFile(), "");
  EXPECT_TRUE(platform_.MessageBoxes().empty());
}

TEST_F(SettingsTest, DialogValuesReachTheFileInFourBlocksAndLoadBack) {
  std::string project(259, 'p');  // a 259-character project file, no room for more
  WriteCfg({{"SCFP", std::vector<unsigned char>(project.begin(), project.end())}});
  settings_.Load();
  settings_.FillDialog(dialog_);
  platform_.Control(dialog_, saver::kIdSlider).position = 25;
  platform_.Control(dialog_, saver::kIdQuitDisabled).state = saver::kChecked;
  platform_.Control(dialog_, saver::kIdPreviewEnabled).state = saver::kChecked;
  settings_.ReadDialogAndSave(dialog_);

  EXPECT_EQ(Block("SCFP"), std::vector<unsigned char>(project.begin(), project.end())) << "259 bytes unchanged";
  EXPECT_EQ(Block("SCTI"), U32(25));
  EXPECT_EQ(Block("SCQC"), std::vector<unsigned char>{1});
  EXPECT_EQ(Block("SCSP"), std::vector<unsigned char>{1});
  KvnFileLoader loader;
  ASSERT_TRUE(loader.Open(CfgPath().c_str()));
  EXPECT_EQ(loader.BlockCount(), 4);

  SaverSettings again;
  again.UsePlatform(&platform_);
  again.SetProjectFolder(folder_.c_str());
  again.SetEngineCore(Core());
  again.Load();
  EXPECT_EQ(again.GetFrameInterval(), 25);
  EXPECT_EQ(again.IsQuitDisabled(), 1);
  EXPECT_EQ(again.IsPreviewEnabled(), 1);
  EXPECT_EQ(std::string(again.GetProjectFile()), project);
}

TEST_F(SettingsTest, AFileWithOnlySCTIChangesOnlyTheInterval) {
  WriteCfg({{"SCFP", std::vector<unsigned char>(259, 'x')}, {"SCTI", U32(40)}, {"SCQC", {1}}, {"SCSP", {1}}});
  settings_.Load();
  WriteCfg({{"SCTI", U32(12)}});
  settings_.Load();
  EXPECT_EQ(settings_.GetFrameInterval(), 12);
  EXPECT_EQ(settings_.IsQuitDisabled(), 1);
  EXPECT_EQ(settings_.IsPreviewEnabled(), 1);
  EXPECT_EQ(std::string(settings_.GetProjectFile()), std::string(259, 'x'));
}

TEST_F(SettingsTest, BlocksLargerThanTheirFieldsAreCutToTheField) {
  WriteCfg({{"SCFP", std::vector<unsigned char>(400, 'A')},
            {"SCTI", {20, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE}},
            {"SCQC", {1, 0xEE, 0xEE}},
            {"SCSP", {0, 0xEE}}});
  settings_.Load();
  EXPECT_EQ(std::string(settings_.GetProjectFile()), std::string(259, 'A'));
  EXPECT_EQ(settings_.GetFrameInterval(), 20) << "not overwritten by the project file's block";
  EXPECT_EQ(settings_.IsQuitDisabled(), 1);
  EXPECT_EQ(settings_.IsPreviewEnabled(), 0);
}

TEST_F(SettingsTest, AFolderTooLongForThePathReadsAndWritesNothing) {
  const std::string deep = folder_ + "/" + std::string(250, 'd');
  settings_.SetProjectFolder(deep.c_str());
  settings_.Load();
  EXPECT_TRUE(platform_.MessageBoxes().empty());
  settings_.FillDialog(dialog_);
  settings_.ReadDialogAndSave(dialog_);
  // The folder kept its first 259 characters; nothing was created under any cut of it.
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + folder_ + "')\"").c_str()), 0);
}

TEST_F(SettingsTest, WithoutAnEngineCoreLoadReportsAndSaveWritesNothing) {
  settings_.SetEngineCore(nullptr);
  settings_.Load();
  ASSERT_EQ(platform_.MessageBoxes().size(), 1u);
  EXPECT_EQ(platform_.MessageBoxes()[0].text, "Can't init fileloader");
  EXPECT_EQ(platform_.MessageBoxes()[0].caption, "P");
  EXPECT_EQ(platform_.MessageBoxes()[0].owner, nullptr);
  EXPECT_EQ(platform_.MessageBoxes()[0].type, saver::kMbOk);
  settings_.Save();
  EXPECT_NE(access(CfgPath().c_str(), F_OK), 0);
}

TEST_F(SettingsTest, FillDialogSetsRangeThenPositionThenChecksThenLabel) {
  WriteCfg({{"SCTI", U32(16)}, {"SCQC", {1}}, {"SCSP", {0}}});
  settings_.Load();
  settings_.FillDialog(dialog_);
  EXPECT_EQ(platform_.ControlLog(), (std::vector<std::string>{"range 1002 1..100 redraw 0", "position 1002 16 redraw 1",
                                                               "check 1005 1", "check 1006 0", "text 1003 62 FPS"}));
}

TEST(FrameRateLabel, ThousandDividedByTheInterval) {
  const std::pair<int32_t, const char*> rows[] = {
      {1, "1000 FPS"}, {3, "333 FPS"}, {16, "62 FPS"}, {100, "10 FPS"}, {7, "142 FPS"}, {0, "1000 FPS"}, {-4, "1000 FPS"},
  };
  for (const auto& r : rows) {
    char text[32];
    SaverSettings::FrameRateText(r.first, text);
    EXPECT_STREQ(text, r.second) << r.first;
  }
}

TEST_F(SettingsTest, TheSliderMovesTheIntervalAtOnceAndTheFileOnlyOnClose) {
  settings_.FillDialog(dialog_);
  platform_.Control(dialog_, saver::kIdSlider).position = 7;
  settings_.OnSliderMoved();
  EXPECT_EQ(settings_.GetFrameInterval(), 7);
  EXPECT_EQ(platform_.Control(dialog_, saver::kIdFrameRateLabel).text, "142 FPS");
  EXPECT_NE(access(CfgPath().c_str(), F_OK), 0) << "not saved yet";
}

TEST_F(SettingsTest, ClosingAnUntouchedDialogWithoutAFileStoresIntervalOne) {
  settings_.FillDialog(dialog_);  // interval 0: the slider shows its minimum
  platform_.Control(dialog_, saver::kIdPreviewEnabled).state = saver::kIndeterminate;
  settings_.ReadDialogAndSave(dialog_);
  EXPECT_EQ(Block("SCTI"), U32(1));
  EXPECT_EQ(Block("SCSP"), std::vector<unsigned char>{0}) << "indeterminate is not checked";
  EXPECT_EQ(Block("SCFP"), std::vector<unsigned char>(259, 0));
}

TEST(SaverSettingsRecord, OneProcessWideRecordAtItsInitialValues) {
  SaverSettings& s = saver::TheSaverSettings();
  EXPECT_EQ(&s, &saver::TheSaverSettings());
  EXPECT_EQ(s.GetFrameInterval(), 0);
  EXPECT_STREQ(s.GetProjectFile(), "");
}

}  // namespace
