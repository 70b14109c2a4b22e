// The reference engine's host side: objects by class GUID, projects that
// load or are refused, frames that apply effects through the real plug-ins
// and the audio-library stand-in, and the event log.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "bass/bass_probe.h"
#include "meshwerk/engine.h"
#include "meshwerk/file.h"
#include "meshwerk/guid.h"
#include "plugin_catalog.h"
#include "meshwerk/effect_view.h"

namespace {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/engine_test_XXXXXX";
    folder_ = mkdtemp(pattern);
    mkdir((folder_ + "/channels").c_str(), 0755);
    for (const PluginCase& c : Plugins()) {
      const std::string link = folder_ + "/channels/" + c.guid + ".so";
      ASSERT_EQ(symlink(c.path, link.c_str()), 0);
    }
    BassProbe_Reset();
    engine_ = GetEngineControlInstance();
  }
  void TearDown() override {
    if (engine_) engine_->Release(1);
    unsetenv("MESHWERK_EVENT_LOG");
    std::system(("rm -rf '" + folder_ + "'").c_str());
  }
  void WriteProject(const std::string& text, const std::string& name = "project.mwp") {
    std::ofstream(folder_ + "/" + name) << text;
  }
  int Start(const char* file = "project.mwp") {
    engine_->SetProjectFolder(folder_.c_str());
    engine_->StartEngine(nullptr, "Lumora", nullptr);
    engine_->SetProjectFile(file);
    return engine_->StartProject();
  }
  std::string folder_;
  Kvn_EngineControl* engine_ = nullptr;
};

TEST_F(EngineTest, CoreMakesFileObjectsByClassGuidOnly) {
  ASSERT_TRUE(engine_->StartEngine(nullptr, "Lumora", nullptr));
  Kvn_EngineCore* core = engine_->GetEngineCore();
  ASSERT_NE(core, nullptr);
  auto* loader = static_cast<KvnFileLoader*>(core->CreateObject(meshwerk::kFileLoaderClass, 0, 0));
  ASSERT_NE(loader, nullptr);
  EXPECT_FALSE(loader->Open((folder_ + "/none.cfg").c_str()));
  loader->Release(1);
  auto* saver = static_cast<KvnFileSaver*>(core->CreateObject(meshwerk::kFileSaverClass, 0, 0));
  ASSERT_NE(saver, nullptr);
  EXPECT_TRUE(saver->OpenForWrite((folder_ + "/x.cfg").c_str(), 0));
  EXPECT_TRUE(saver->Close());
  EXPECT_EQ(core->CreateObject(meshwerk::kValueChannelType, 0, 0), nullptr);
  EXPECT_EQ(core->CreateObject(meshwerk::kNullGuid, 0, 0), nullptr);
}

TEST_F(EngineTest, ProjectsThatCannotRunAreRefusedWithTheEnginesMessage) {
  struct Row {
    const char* name;
    std::string project;  // empty: no file
    const char* message;
  };
  const Row rows[] = {
      {"no project file", "", "cannot be read"},
      {"unknown statement", "values X 1\n", "line 1: unknown statement 'values'"},
      {"value without a number", "value X\n", "line 1: value needs a name and a number"},
      {"value declared twice", "value X 1\nvalue X 2\n", "line 2: value X declared twice"},
      {"sine with period 0", "value X 1 sine 2 0\n", "line 1: sine needs"},
      {"unknown motion", "value X 1 wobble\n", "unknown motion"},
      {"effect without GUID", "stream S\neffect\n", "line 2: effect needs"},
      {"not a GUID", "stream S\neffect 1234 S\n", "'1234' is not a GUID"},
      {"no such library", "stream S\neffect 00000000-0000-0000-0000-000000000001 S\n", "not found"},
      {"no such stream", "effect 5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614 Music\n", "no stream 'Music'"},
      {"no such value", "stream S\neffect 5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614 S Mix\n", "no value 'Mix'"},
      {"too many parameters", "stream S\neffect 1F7D3E95-C248-4B0A-9D71-6E5A20B8C3F9 S 1 2 3\n", "no parameter 2"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    engine_->Release(1);
    engine_ = GetEngineControlInstance();
    unlink((folder_ + "/project.mwp").c_str());
    if (!r.project.empty()) WriteProject(r.project);
    EXPECT_NE(Start(), 0);
    EXPECT_NE(std::string(engine_->LastError()).find(r.message), std::string::npos) << engine_->LastError();
    EXPECT_EQ(engine_->GetEngineCore()->FindChannel(meshwerk::kValueChannelType, "X"), nullptr);
    EXPECT_NE(engine_->RunFrame(), 0) << "nothing runs";
  }
}

TEST_F(EngineTest, AProjectStartsOnlyAfterTheEngine) {
  WriteProject("value LumoSaver 0\n");
  engine_->SetProjectFolder(folder_.c_str());
  engine_->SetProjectFile("project.mwp");
  EXPECT_EQ(engine_->StartProject(), 2);
}

TEST_F(EngineTest, FramesAnimateValuesAndApplyEffectsThroughThePlugins) {
  WriteProject(
      "# a small project\n"
      "value LumoSaver 0\n"
      "value LumoSaverPreview 0\n"
      "value Mix 50 sine 40 0.05   # moves every frame\n"
      "value Rate 20\n"
      "stream Music\n"
      "effect 5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614 Music Mix 30 100 100 0\n"
      "effect 71d4e2a9-0c56-4b8f-9a3e-d2f81c6b0357 Music 50 50 0 5 1 10 2\n"
      "effect 1F7D3E95-C248-4B0A-9D71-6E5A20B8C3F9 Music Rate -\n"
      "effect 6D2A71F8-93C0-4A5B-BE47-05C9D81F3A26 Music 8\n");
  ASSERT_EQ(Start(), 0) << engine_->LastError();
  Kvn_EngineCore* core = engine_->GetEngineCore();
  Kvn_ValueChannel* saverFlag = core->FindChannel(meshwerk::kValueChannelType, "LumoSaver");
  ASSERT_NE(saverFlag, nullptr);
  EXPECT_EQ(core->FindChannel(meshwerk::kNullGuid, "LumoSaver"), nullptr) << "value channels only";
  EXPECT_EQ(core->FindChannel(meshwerk::kValueChannelType, "Missing"), nullptr);
  ASSERT_EQ(engine_->EffectCount(), 4);
  EXPECT_STREQ(engine_->EffectChannel(0)->GetChannelType().name, "EchoStream");

  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(engine_->RunFrame(), 0);
    usleep(7000);
  }
  EXPECT_EQ(engine_->FramesRun(), 3);
  BassStream* s = engine_->StreamOf(0);
  BassProbeEffect effect;
  ASSERT_TRUE(BassProbe_GetEffect(s->echo, &effect));
  ASSERT_TRUE(BassProbe_GetEffect(s->chorus, &effect));
  ASSERT_TRUE(BassProbe_GetEffect(s->gargle, &effect));
  EXPECT_EQ(BassProbe_EffectCount(s->handle), 3u);
  float mix = 0;
  EXPECT_TRUE(BassProbe_GetEAXMix(s->handle, &mix));
  int env = 0;
  EXPECT_TRUE(BassProbe_GetEAXParameters(&env, nullptr, nullptr, nullptr));
  EXPECT_EQ(env, 8);
  // The echo follows its moving mix; the gargle re-applies every frame.
  int echoSets = 0, gargleSets = 0;
  for (DWORD i = 0; i < BassProbe_CallCount(); ++i) {
    BassProbeCall call;
    BassProbe_GetCall(i, &call);
    if (call.function == kBassChannelSetFX && call.u[1] == BASS_FX_DX8_ECHO) ++echoSets;
    if (call.function == kBassChannelSetFX && call.u[1] == BASS_FX_DX8_GARGLE) ++gargleSets;
  }
  EXPECT_EQ(echoSets, 3);
  EXPECT_EQ(gargleSets, 3);
}

TEST_F(EngineTest, TheEventLogRecordsTheHostsCallsInOrder) {
  const std::string log = folder_ + "/events.log";
  setenv("MESHWERK_EVENT_LOG", log.c_str(), 1);
  WriteProject("value LumoSaver 0\nvalue LumoSaverPreview 0\n");
  engine_->SetProjectFolder(folder_.c_str());
  engine_->SetRegistryKey("SOFTWARE\\Korvane\\Lumora Viewers\\4.20.000");
  engine_->StartEngine(nullptr, "Lumora", nullptr);
  engine_->SetProjectFile("project.mwp");
  Kvn_EngineCore* core = engine_->GetEngineCore();
  core->FindChannel(meshwerk::kValueChannelType, "LumoSaver")->SetValue(1.0f);
  core->FindChannel(meshwerk::kValueChannelType, "LumoSaverPreview")->SetValue(0.0f);
  EXPECT_EQ(engine_->StartProject(), 0);
  engine_->HandleMessage(nullptr, 0x113, 10, 0);
  engine_->RunFrame();
  engine_->Release(1);
  engine_ = nullptr;

  std::ifstream in(log);
  std::vector<std::string> words;
  std::string line;
  while (std::getline(in, line)) words.push_back(line.substr(0, line.find(' ')) + (line.find("LumoSaver") != std::string::npos ? " " + line.substr(line.find(' ') + 1) : ""));
  const std::vector<std::string> expected = {
      "SetProjectFolder", "SetRegistryKey", "StartEngine", "SetProjectFile", "GetEngineCore",
      "FindChannel LumoSaver", "SetValue LumoSaver 1", "FindChannel LumoSaverPreview",
      "SetValue LumoSaverPreview 0", "StartProject", "HandleMessage", "RunFrame", "Release"};
  EXPECT_EQ(words, expected);
}

// After each frame the engine logs every effect whose parameters reached the
// audio library, with the count so far and the last parameters: the demo's
// report is made of these lines.
TEST_F(EngineTest, TheEventLogShowsWhatEachEffectApplied) {
  const std::string log = folder_ + "/events.log";
  setenv("MESHWERK_EVENT_LOG", log.c_str(), 1);
  WriteProject(
      "value Mix 150\n"  // beyond the echo's 0..100
      "stream Music\n"
      "effect 5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614 Music Mix 30 100 100 0\n"
      "effect 1F7D3E95-C248-4B0A-9D71-6E5A20B8C3F9 Music 2000 0\n"
      "effect 6D2A71F8-93C0-4A5B-BE47-05C9D81F3A26 Music 8\n");
  ASSERT_EQ(Start(), 0) << engine_->LastError();
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(engine_->RunFrame(), 0);
    usleep(2000);
  }
  engine_->Release(1);
  engine_ = nullptr;

  std::ifstream in(log);
  std::vector<std::string> effects;
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("Effect ", 0) == 0) effects.push_back(line);
  // Each re-applies every frame: the echo because a mix beyond its range
  // never equals the stored 100, the gargle (rate held at 1000) and the EAX
  // environment (preset 8) by their rules. Counts run per effect.
  const std::vector<std::string> expected = {
      "Effect Music Echo 1 mix=100 feedback=30 left=100 right=100 pan=0",
      "Effect Music Gargle 1 rate=1000 shape=0",
      "Effect Music EAX 1 env=8 vol=0.5 decay=2.886 damp=1.304 mix=1",
      "Effect Music Echo 2 mix=100 feedback=30 left=100 right=100 pan=0",
      "Effect Music Gargle 2 rate=1000 shape=0",
      "Effect Music EAX 2 env=8 vol=0.5 decay=2.886 damp=1.304 mix=1",
      "Effect Music Echo 3 mix=100 feedback=30 left=100 right=100 pan=0",
      "Effect Music Gargle 3 rate=1000 shape=0",
      "Effect Music EAX 3 env=8 vol=0.5 decay=2.886 damp=1.304 mix=1",
  };
  EXPECT_EQ(effects, expected);
}

// The sample project of the demo runs here with the real plug-ins: every one
// of the nine effects reaches the audio library, and the parameters that
// leave their ranges arrive held at their bounds.
TEST_F(EngineTest, TheSampleProjectAppliesAllNineEffects) {
  {
    std::ifstream in(DEMO_PROJECT);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty());
    WriteProject(text.str(), "sample.mwp");
  }
  const std::string log = folder_ + "/events.log";
  setenv("MESHWERK_EVENT_LOG", log.c_str(), 1);
  ASSERT_EQ(Start("sample.mwp"), 0) << engine_->LastError();
  EXPECT_EQ(engine_->EffectCount(), 9);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(engine_->RunFrame(), 0);
  engine_->Release(1);
  engine_ = nullptr;

  std::ifstream in(log);
  std::set<std::string> applied;
  std::string line, echo;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string word, stream, type;
    words >> word >> stream >> type;
    if (word != "Effect") continue;
    applied.insert(type);
    if (type == "Echo") echo = line;
  }
  const std::set<std::string> all = {"Chorus", "Compressor", "Distortion", "Echo",   "Flanger",
                                     "Gargle", "Reverb",     "ParamEQ",    "EAX"};
  EXPECT_EQ(applied, all);
  // A feedback of 120 and a right delay of 400 are beyond the echo's ranges.
  EXPECT_NE(echo.find(" feedback=100 left=250 right=333 pan=1"), std::string::npos) << echo;
}

TEST(EffectView, DescribesEachTypeAndRefusesShortRecords) {
  BASS_DX8_PARAMEQ eq = {8000.0f, 12.0f, -15.0f};
  const auto* bytes = reinterpret_cast<const unsigned char*>(&eq);
  EXPECT_EQ(meshwerk::DescribeEffect(BASS_FX_DX8_PARAMEQ, bytes, sizeof eq), "center=8000 bandwidth=12 gain=-15");
  EXPECT_EQ(meshwerk::DescribeEffect(BASS_FX_DX8_PARAMEQ, bytes, sizeof eq - 1), "") << "short record";
  EXPECT_EQ(meshwerk::DescribeEffect(99, bytes, sizeof eq), "") << "unknown type";
  BASS_DX8_I3DL2REVERB reverb = {-1000, -100, 0.0f, 1.49f, 0.83f, -2602, 0.007f, 200, 0.011f, 100.0f, 100.0f, 5000.0f};
  EXPECT_EQ(meshwerk::DescribeEffect(BASS_FX_DX8_I3DL2REVERB, reinterpret_cast<const unsigned char*>(&reverb),
                                     sizeof reverb),
            "room=-1000 roomHF=-100 rolloff=0 decay=1.49 decayHF=0.83 reflections=-2602 reflDelay=0.007 reverb=200 "
            "revDelay=0.011 diffusion=100 density=100 hfRef=5000");
  const char* names[] = {"Chorus", "Compressor", "Distortion", "Echo",  "Flanger",
                         "Gargle", "I3DL2Reverb", "ParamEQ",   "Reverb"};
  for (DWORD type = 0; type < 9; ++type) EXPECT_STREQ(meshwerk::EffectTypeName(type), names[type]);
}

}  // namespace
