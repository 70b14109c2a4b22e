// The host's procedures as message sequences: each test states, as a table,
// the platform calls and the engine calls the host must make, in order, and
// one helper compares them. The engine is the real reference engine, seen
// through a recorder that writes each call into the platform's call list.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/saver/host.h"
#include "host/system/messages.h"
#include "host/system/test_platform.h"
#include "meshwerk/engine.h"
#include "meshwerk/file.h"
#include "package_writer.h"

namespace {

using saver::Host;
using saver::TestPlatform;
using Calls = std::vector<std::string>;

// ---- the recorder around the real engine -------------------------------------

TestPlatform* g_platform = nullptr;
void Record(const std::string& line) { g_platform->Record("engine " + line); }

class RecordingValue : public engine::ValueChannel {
 public:
  RecordingValue(Kvn_ValueChannel* real, std::string name) : real_(real), name_(std::move(name)) {}
  void Base01() override {}
  void Base02() override {}
  void Base03() override {}
  void Base04() override {}
  void Base05() override {}
  void Base06() override {}
  void Base07() override {}
  void Base08() override {}
  void Base09() override {}
  void Base10() override {}
  void Base11() override {}
  void Base12() override {}
  void Base13() override {}
  void Base14() override {}
  void Base15() override {}
  void Base16() override {}
  void Base17() override {}
  float GetValue() override { return real_->GetValue(); }
  void SetValue(float v) override {
    Record("SetValue " + name_ + " " + std::to_string(static_cast<int>(v)));
    real_->SetValue(v);
  }

 private:
  Kvn_ValueChannel* real_;
  std::string name_;
};

class RecordingCore : public engine::EngineCore {
 public:
  explicit RecordingCore(Kvn_EngineCore* real) : real_(real) {}
  void* CreateObject(GUID classGuid, int a, int b) override {
    Record(classGuid.Data1 == 0x0D762706 ? "CreateObject loader" : "CreateObject saver");
    return real_->CreateObject(classGuid, a, b);
  }
  engine::ValueChannel* FindChannel(GUID type, const char* name) override {
    Record(std::string("FindChannel ") + name);
    Kvn_ValueChannel* real = real_->FindChannel(type, name);
    if (real == nullptr) return nullptr;
    values_.push_back(std::make_unique<RecordingValue>(real, name));
    return values_.back().get();
  }

 private:
  Kvn_EngineCore* real_;
  std::vector<std::unique_ptr<RecordingValue>> values_;
};

class RecordingEngine : public engine::EngineControl {
 public:
  RecordingEngine() : real_(GetEngineControlInstance()) {}
  void Release(int how) override {
    Record("Release " + std::to_string(how));
    real_->Release(how);
    delete this;
  }
  int StartProject() override {
    const int r = real_->StartProject();
    Record("StartProject -> " + std::to_string(r));
    return r;
  }
  bool StartEngine(void* instance, const char* product, void* window) override {
    Record(std::string("StartEngine ") + product);
    return real_->StartEngine(instance, product, window);
  }
  int RunFrame() override {
    Record("RunFrame");
    return real_->RunFrame();
  }
  void SetProjectFile(const char* file) override {
    Record(std::string("SetProjectFile ") + file);
    real_->SetProjectFile(file);
  }
  engine::EngineCore* GetEngineCore() override {
    Record("GetEngineCore");
    if (!core_ && real_->GetEngineCore()) core_ = std::make_unique<RecordingCore>(real_->GetEngineCore());
    return core_.get();
  }
  intptr_t HandleMessage(void* window, unsigned message, uintptr_t w, intptr_t l) override {
    char text[32];
    snprintf(text, sizeof text, "HandleMessage 0x%04X", message);
    Record(text);
    return real_->HandleMessage(window, message, w, l);
  }
  void SetProjectFolder(const char* folder) override {
    Record("SetProjectFolder");
    real_->SetProjectFolder(folder);
  }
  void SetRegistryKey(const char* key) override {
    Record(std::string("SetRegistryKey ") + key);
    real_->SetRegistryKey(key);
  }

 private:
  ~RecordingEngine() = default;
  Kvn_EngineControl* real_;
  std::unique_ptr<RecordingCore> core_;
};

engine::EngineControl* MakeRecordingEngine() { return new RecordingEngine(); }

// ---- the machine the host runs on ---------------------------------------------

// A packaged saver, a registered project folder with the engine library, a
// project and its settings.
void Finish(Host& host);

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/host_test_XXXXXX";
    folder_ = mkdtemp(pattern);
    g_platform = &platform_;
    Package("Sample Project");
    platform_.SetTemporaryFolder(folder_);
    platform_.AddRegistryValue(std::string(saver::kRegistryRoot) + "\\Sample Project", "DisplayName", saver::kRegSz,
                               folder_ + std::string(1, '\0'));
    platform_.AddLibrary(folder_ + "\\meshwerk.dll",
                         {{"GetEngineControlInstance", reinterpret_cast<void*>(&MakeRecordingEngine)}});
    std::ofstream(folder_ + "/project.mwp") << "value LumoSaver 0\nvalue LumoSaverPreview 0\n";
    WriteSettings(16, 0, 1);
    host_ = std::make_unique<Host>(platform_, settings_);
  }
  void TearDown() override {
    Finish(*host_);
    host_.reset();
    std::system(("rm -rf '" + folder_ + "'").c_str());
  }
  // The saver program with its package; "" packages no project name.
  void Package(const std::string& name) {
    std::vector<saverpack::Entry> entries;
    if (!name.empty()) entries.push_back({"APPDATA", "ProjectName", saverpack::Bytes(name.begin(), name.end() + 1)});
    entries.push_back({"DATA", "Other", saverpack::Bytes{1, 2, 3}});
    entries[0].data.back() = 0;
    saverpack::Bytes file(512, 0x90), package;
    std::string error;
    ASSERT_TRUE(saverpack::BuildPackage(entries, saverpack::Form::kRaw, 512, &package, &error));
    file.insert(file.end(), package.begin(), package.end());
    std::ofstream(folder_ + "/Sample.scr", std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                                   static_cast<std::streamsize>(file.size()));
    platform_.SetCommandLine("\"" + folder_ + "/Sample.scr\" /s");
  }
  void WriteSettings(int32_t interval, uint8_t quitDisabled, uint8_t previewEnabled) {
    KvnFileSaver saver;
    ASSERT_TRUE(saver.OpenForWrite((folder_ + "/screensaver.cfg").c_str(), 0));
    char project[259] = "project.mwp";
    saver.SaveTag("SCFP");
    saver.SaveBlockSize(259);
    saver.SaveDataToFile(project, 259);
    saver.SaveTag("SCTI");
    saver.SaveBlockSize(4);
    saver.SaveDataToFile(&interval, 4);
    saver.SaveTag("SCQC");
    saver.SaveBlockSize(1);
    saver.SaveDataToFile(&quitDisabled, 1);
    saver.SaveTag("SCSP");
    saver.SaveBlockSize(1);
    saver.SaveDataToFile(&previewEnabled, 1);
    ASSERT_TRUE(saver.Close());
  }
  intptr_t Send(unsigned message, uintptr_t w = 0, intptr_t l = 0) { return host_->ScreenSaverProc(window_, message, w, l); }
  // Starts a saver run and forgets the calls it made.
  void Running() {
    ASSERT_EQ(Send(saver::kWmCreate), 0);
    ASSERT_TRUE(host_->Running());
    platform_.ClearCalls();
  }

  std::string folder_;
  TestPlatform platform_;
  saver::SaverSettings settings_;
  std::unique_ptr<Host> host_;
  saver::Window window_ = reinterpret_cast<saver::Window>(0x5C5C);
};

// An engine the host still holds (as at the process's end) is ended here.
void Finish(Host& host) {
  if (host.Engine() != nullptr) host.Engine()->Release(1);
}

// The one comparison helper: expected against actual, side by side.
void ExpectSequence(const Calls& expected, const Calls& actual, const char* what) {
  if (expected == actual) return;
  std::string table;
  for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
    const std::string e = i < expected.size() ? expected[i] : "";
    const std::string a = i < actual.size() ? actual[i] : "";
    table += (e == a ? "   " : "!! ") + e + std::string(e.size() < 44 ? 44 - e.size() : 1, ' ') + a + "\n";
  }
  ADD_FAILURE() << what << ": expected (left) against actual (right)\n" << table;
}

const Calls kEngineStart = {
    "RegCloseKey 1",       "SetEnvironment PATH", "LoadLibrary " /* + folder */, "engine SetProjectFolder",
    "engine SetRegistryKey SOFTWARE\\Korvane\\Lumora Viewers\\4.20.000", "engine StartEngine Lumora",
    "engine GetEngineCore", "engine CreateObject loader"};

Calls Start(const std::string& folder) {
  Calls c = kEngineStart;
  c[2] += folder + "\\meshwerk.dll";
  return c;
}
Calls Then(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(HostFixture, CreationStartsEngineSetsTheFlagsThenStartsProjectAndTimer) {
  EXPECT_EQ(Send(saver::kWmCreate), 0);
  ExpectSequence(Then(Start(folder_), {"engine SetProjectFile project.mwp", "engine GetEngineCore",
                                       "engine FindChannel LumoSaver", "engine SetValue LumoSaver 1",
                                       "engine FindChannel LumoSaverPreview", "engine SetValue LumoSaverPreview 0",
                                       "engine StartProject -> 0", "SetTimer 10 16", "DefScreenSaverProc 0x0001"}),
                 platform_.Calls(), "WM_CREATE");
  EXPECT_EQ(platform_.Environment().at("PATH"), folder_ + "\\channels;" + folder_ + "\\3rd;");
}

TEST_F(HostFixture, EveryMessageReachesTheEngineFirst) {
  Running();
  struct Row {
    const char* name;
    unsigned message;
    uintptr_t w;
    bool quitDisabled;
    intptr_t result;
    Calls calls;
  };
  const Row rows[] = {
      {"timer 10", saver::kWmTimer, 10, false, 0,
       {"engine HandleMessage 0x0113", "engine RunFrame", "DefScreenSaverProc 0x0113"}},
      {"timer 11", saver::kWmTimer, 11, false, 0, {"engine HandleMessage 0x0113", "DefScreenSaverProc 0x0113"}},
      {"key, input ends the saver", saver::kWmKeyDown, 0x41, false, 0,
       {"engine HandleMessage 0x0100", "DefScreenSaverProc 0x0100"}},
      {"key, quit disabled", saver::kWmKeyDown, 0x41, true, 0, {"engine HandleMessage 0x0100"}},
      {"click, quit disabled", saver::kWmLButtonDown, 0, true, 0, {"engine HandleMessage 0x0201"}},
      {"mouse move, quit disabled", saver::kWmMouseMove, 0, true, 0, {"engine HandleMessage 0x0200"}},
      {"erase background", saver::kWmEraseBackground, 0, false, 0, {"engine HandleMessage 0x0014"}},
      {"monitor power on NT", saver::kWmSysCommand, saver::kScMonitorPower, false, 0,
       {"engine HandleMessage 0x0112", "DefScreenSaverProc 0x0112"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    WriteSettings(16, r.quitDisabled, 1);
    settings_.Load();
    platform_.ClearCalls();
    EXPECT_EQ(Send(r.message, r.w), r.result);
    ExpectSequence(Then(r.quitDisabled ? Calls{} : Calls{}, r.calls),
                   Calls(platform_.Calls().begin() + (platform_.Calls().size() > r.calls.size() ? platform_.Calls().size() - r.calls.size() : 0),
                         platform_.Calls().end()),
                   r.name);
  }
}

TEST_F(HostFixture, MonitorPowerOnTheOldFamilyIsSwallowed) {
  Running();
  platform_.SetNtFamily(false);
  EXPECT_EQ(Send(saver::kWmSysCommand, saver::kScMonitorPower), 0);
  ExpectSequence({"engine HandleMessage 0x0112"}, platform_.Calls(), "SC_MONITORPOWER");
}

TEST_F(HostFixture, CloseStopsReleasesThenDestroys) {
  Running();
  Send(saver::kWmClose);
  ExpectSequence({"engine HandleMessage 0x0010", "KillTimer 10", "engine Release 1", "DestroyWindow",
                  "DefScreenSaverProc 0x0010"},
                 platform_.Calls(), "WM_CLOSE");
  EXPECT_EQ(host_->Engine(), nullptr);
  platform_.ClearCalls();
  Send(saver::kWmDestroy);
  ExpectSequence({"DefScreenSaverProc 0x0002"}, platform_.Calls(), "WM_DESTROY after the stop");
}

TEST_F(HostFixture, TimerWithoutAnEngineOnlyGoesToTheDefaultProcessing) {
  Send(saver::kWmTimer, 10);
  ExpectSequence({"DefScreenSaverProc 0x0113"}, platform_.Calls(), "timer, no engine");
}

TEST_F(HostFixture, PreviewWithPreviewDisabledBindsTheEngineButStartsNothing) {
  WriteSettings(16, 0, 0);
  platform_.SetPreview(true);
  EXPECT_EQ(Send(saver::kWmCreate), 0);
  ExpectSequence(Then(Start(folder_), {"DefScreenSaverProc 0x0001"}), platform_.Calls(), "preview disabled");
  EXPECT_FALSE(host_->Running());
  EXPECT_NE(host_->Engine(), nullptr) << "bound until the process ends";
}

TEST_F(HostFixture, PreviewEnabledSetsThePreviewFlagChannelToOne) {
  platform_.SetPreview(true);
  Send(saver::kWmCreate);
  const Calls& calls = platform_.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "engine SetValue LumoSaverPreview 1"), calls.end());
  EXPECT_TRUE(host_->Running());
}

TEST_F(HostFixture, PowerOffTestRefusesOnlyShorterTimeoutsOutsideThePreview) {
  struct Row {
    int active, powerOff, saverTimeout;
    bool preview, refuses;
  };
  const Row rows[] = {{1, 300, 600, false, true}, {1, 600, 600, false, false}, {1, 900, 600, false, false},
                      {1, 300, 600, true, false}, {0, 300, 600, false, false}, {1, -5, 0, false, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.active << " " << r.powerOff << " " << r.saverTimeout << " " << r.preview);
    TestPlatform platform;
    g_platform = &platform;
    platform.SetSystemParameter(saver::kSpiGetPowerOffActive, r.active);
    platform.SetSystemParameter(saver::kSpiGetPowerOffTimeout, r.powerOff);
    platform.SetSystemParameter(saver::kSpiGetScreenSaveTimeout, r.saverTimeout);
    platform.SetPreview(r.preview);
    platform.SetCommandLine("\"" + folder_ + "/none.scr\"");
    saver::SaverSettings settings;
    Host host(platform, settings);
    const intptr_t result = host.ScreenSaverProc(window_, saver::kWmCreate, 0, 0);
    EXPECT_EQ(result == -1, r.refuses);
    Finish(host);
    if (r.refuses) EXPECT_TRUE(platform.Calls().empty()) << "no engine, no message";
  }
  g_platform = &platform_;
}

TEST_F(HostFixture, FailuresShowTheirMessagesInOrderAndCloseTheWindow) {
  const std::string viewer =
      "MessageBox owner window type 0x10 Lumora Screen Saver Viewer | There was an error starting the Lumora "
      "Screen Saver Viewer.\r\nPlease Re-install Screen Saver";
  struct Row {
    const char* name;
    bool projectName, registry, library, projectFile;
    Calls expected;  // message boxes and what follows them
  };
  const Row rows[] = {
      {"no project name in the package", false, true, true, true,
       {"MessageBox owner none type 0x0 Error while retrieving the project name | 0",
        "MessageBox owner none type 0x0 Error | Can't find ProjectName", "EndDialog 0", "PostClose"}},
      {"no registry entry", true, false, true, true,
       {"MessageBox owner window type 0x10 Engine init error | ", viewer, "EndDialog 0", "PostClose"}},
      {"no engine library", true, true, false, true,
       {"MessageBox owner window type 0x10 Engine init error | " + folder_, viewer, "EndDialog 0", "PostClose"}},
      {"project does not start", true, true, true, false, {viewer, "engine Release 1", "EndDialog 0", "PostClose"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TestPlatform platform;
    g_platform = &platform;
    Package(r.projectName ? "Sample Project" : "");
    platform.SetCommandLine(platform_.CommandLine());
    platform.SetTemporaryFolder(folder_);
    if (r.registry)
      platform.AddRegistryValue(std::string(saver::kRegistryRoot) + "\\Sample Project", "DisplayName", saver::kRegSz,
                                folder_ + std::string(1, '\0'));
    if (r.library)
      platform.AddLibrary(folder_ + "\\meshwerk.dll",
                          {{"GetEngineControlInstance", reinterpret_cast<void*>(&MakeRecordingEngine)}});
    if (!r.projectFile) unlink((folder_ + "/project.mwp").c_str());
    saver::SaverSettings settings;
    Host host(platform, settings);
    EXPECT_EQ(host.ScreenSaverProc(window_, saver::kWmCreate, 0, 0), 0);
    Calls seen;
    bool afterFirstBox = false;
    for (const std::string& c : platform.Calls()) {
      afterFirstBox = afterFirstBox || c.rfind("MessageBox", 0) == 0;
      if (afterFirstBox && (c.rfind("MessageBox", 0) == 0 || c == "engine Release 1" || c == "EndDialog 0" ||
                            c == "PostClose" || c.rfind("SetTimer", 0) == 0))
        seen.push_back(c);
    }
    ExpectSequence(r.expected, seen, r.name);
    EXPECT_FALSE(host.Running());
    EXPECT_EQ(host.Engine(), nullptr) << "no engine stays held";
    std::ofstream(folder_ + "/project.mwp") << "value LumoSaver 0\n";
  }
  g_platform = &platform_;
}

TEST_F(HostFixture, RegistryValueRules) {
  struct Row {
    const char* name;
    uint32_t type;
    size_t bytes;  // with the terminator
    bool found;
  };
  const Row rows[] = {{"259 bytes with terminator", saver::kRegSz, 259, true},
                      {"260 bytes", saver::kRegSz, 260, false},
                      {"REG_EXPAND_SZ", saver::kRegExpandSz, 20, false},
                      {"REG_BINARY", saver::kRegBinary, 20, false},
                      {"1300 bytes", saver::kRegSz, 1300, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TestPlatform platform;
    std::string value(r.bytes - 1, 'f');
    value += '\0';
    platform.AddRegistryValue(std::string(saver::kRegistryRoot) + "\\P", "DisplayName", r.type, value);
    saver::SaverSettings settings;
    Host host(platform, settings);
    char buffer[259];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(host.LookUpProjectFolder("P", buffer, 259), r.found);
    if (r.found) {
      EXPECT_EQ(strlen(buffer), 258u);
    }
    EXPECT_EQ(platform.Calls(), Calls{"RegCloseKey 1"}) << "the key is closed on every path";
  }
  TestPlatform platform;
  saver::SaverSettings settings;
  Host host(platform, settings);
  char buffer[259];
  EXPECT_FALSE(host.LookUpProjectFolder(std::string(240, 'n').c_str(), buffer, 259)) << "key path beyond 263";
}

TEST_F(HostFixture, SearchPathIsExtendedOnlyWhenTheFolderIsNotInIt) {
  struct Row {
    const char* name;
    std::string before;  // "-": no PATH
    const char* folder;
    std::string after;
  };
  const Row rows[] = {
      {"not there", "C:\\Windows", "C:\\P", "C:\\P\\channels;C:\\P\\3rd;C:\\Windows"},
      {"there already", "C:\\Windows;C:\\P\\3rd", "C:\\P", "C:\\Windows;C:\\P\\3rd"},
      {"part of a longer path", "C:\\Pro\\bin", "C:\\P", "C:\\Pro\\bin"},
      {"case differs", "c:\\p", "C:\\P", "C:\\P\\channels;C:\\P\\3rd;c:\\p"},
      {"empty folder", "C:\\Windows", "", "C:\\Windows"},
      {"no PATH", "-", "C:\\P", "C:\\P\\channels;C:\\P\\3rd;"},
      {"PATH of 5000 characters kept whole", std::string(5000, 'a'), "C:\\P",
       "C:\\P\\channels;C:\\P\\3rd;" + std::string(5000, 'a')},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TestPlatform platform;
    if (r.before != "-") platform.SetEnvironment("PATH", r.before.c_str());
    saver::SaverSettings settings;
    Host host(platform, settings);
    host.ExtendSearchPath(r.folder);
    char value[6000] = {0};
    platform.GetEnvironment("PATH", value, sizeof value);
    EXPECT_EQ(value, r.after);
  }
}

TEST_F(HostFixture, ConfigureDialogIgnoresCancelSavesOnDestroyAndReleases) {
  saver::Window dialog = reinterpret_cast<saver::Window>(0xD1A);
  EXPECT_EQ(host_->ScreenSaverConfigureDialog(dialog, saver::kWmInitDialog, 0, 0), 1);
  ExpectSequence(Start(folder_), platform_.Calls(), "WM_INITDIALOG");
  EXPECT_EQ(platform_.Control(dialog, saver::kIdSlider).position, 16);
  platform_.ClearCalls();
  EXPECT_EQ(host_->ScreenSaverConfigureDialog(dialog, saver::kWmCommand, 2, 0), 0);  // Escape / close box
  platform_.Control(dialog, saver::kIdSlider).position = 40;
  EXPECT_EQ(host_->ScreenSaverConfigureDialog(dialog, saver::kWmHScroll, 0, 0), 0);
  EXPECT_EQ(platform_.Control(dialog, saver::kIdFrameRateLabel).text, "25 FPS");
  EXPECT_EQ(host_->ScreenSaverConfigureDialog(dialog, saver::kWmCommand, 1, 0), 0);
  EXPECT_EQ(host_->ScreenSaverConfigureDialog(dialog, saver::kWmDestroy, 0, 0), 0);
  ExpectSequence({"EndDialog 0", "engine CreateObject saver", "engine Release 1"},
                 platform_.Calls(), "dialog");
  KvnFileLoader loader;
  ASSERT_TRUE(loader.Open((folder_ + "/screensaver.cfg").c_str()));
  char tag[] = "SCTI";
  ASSERT_TRUE(loader.GetInfoIfTag(tag));
  int32_t interval = 0;
  loader.CopyTagData(&interval, 4);
  EXPECT_EQ(interval, 40);
  EXPECT_TRUE(host_->RegisterDialogClasses(nullptr));
}

}  // namespace
