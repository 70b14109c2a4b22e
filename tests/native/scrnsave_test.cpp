// The screen-saver library's decisions: command lines, the messages it
// answers itself, and its default processing.
#include <gtest/gtest.h>
#include <string.h>

#include "scrnsave/decisions.h"

namespace {

using namespace scrnsave;

TEST(ScrnsaveCommandLine, TheProgramNameIsCutAndTheModeRead) {
  struct Row {
    const char* line;
    const char* arguments;
    ModeKind kind;
    bool hasWindow;
    uintptr_t window;
  };
  const Row rows[] = {
      {"\"C:\\Saver Dir\\Sample.scr\" /s", "/s", ModeKind::kSaver, false, 0},
      {"C:\\Sample.scr /S", "/S", ModeKind::kSaver, false, 0},
      {"Sample.scr -s", "-s", ModeKind::kSaver, false, 0},
      {"\"Sample.scr\"", "", ModeKind::kConfigure, false, 0},
      {"Sample.scr", "", ModeKind::kConfigure, false, 0},
      {"Sample.scr /c", "/c", ModeKind::kConfigure, false, 0},
      {"Sample.scr /c:1234", "/c:1234", ModeKind::kConfigure, true, 1234},
      {"Sample.scr /C 77", "/C 77", ModeKind::kConfigure, false, 0},  // only ":" introduces the number
      {"Sample.scr /p 4242", "/p 4242", ModeKind::kPreview, true, 4242},
      {"Sample.scr /l 12x", "/l 12x", ModeKind::kPreview, true, 12},
      {"Sample.scr /p", "/p", ModeKind::kPreview, false, 0},
      {"Sample.scr /p -5", "/p -5", ModeKind::kPreview, false, 0},  // no sign
      {"Sample.scr /a 99", "/a 99", ModeKind::kPassword, true, 99},
      {"Sample.scr /x", "/x", ModeKind::kNone, false, 0},
      {"Sample.scr \t\x01 --/s", "--/s", ModeKind::kSaver, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    const char* arguments = SkipProgramName(r.line);
    EXPECT_STREQ(arguments, r.arguments);
    const Mode m = ParseMode(arguments);
    EXPECT_EQ(m.kind, r.kind);
    EXPECT_EQ(m.hasWindow, r.hasWindow);
    EXPECT_EQ(m.window, r.window);
  }
}

TEST(ScrnsaveLibraryAnswers, OnlyItsOwnMessagesAreKeptFromTheSaver) {
  struct Row {
    const char* name;
    Message m;
    bool preview;
    Answer answer;
  };
  const Row rows[] = {
      {"set text", {kWmSetText, 0, 0}, false, {true, 0, false}},
      {"set text, preview", {kWmSetText, 0, 0}, true, {true, 0, false}},
      {"help, preview", {kWmHelp, 0, 0}, true, {true, 1, true}},
      {"context menu, preview", {kWmContextMenu, 0, 0}, true, {true, 1, true}},
      {"help, full screen", {kWmHelp, 0, 0}, false, {false, 0, false}},
      {"next window", {kWmSysCommand, kScNextWindow, 0}, false, {true, 0, false}},
      {"screen save", {kWmSysCommand, kScScreenSave + 2, 0}, false, {true, 0, false}},
      {"screen save, preview", {kWmSysCommand, kScScreenSave, 0}, true, {false, 0, false}},
      {"monitor power", {kWmSysCommand, kScMonitorPower, 2}, false, {false, 0, false}},
      {"timer", {kWmTimer, 10, 0}, false, {false, 0, false}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Answer a = LibraryAnswer(r.m, r.preview);
    EXPECT_EQ(a.answered, r.answer.answered);
    EXPECT_EQ(a.result, r.answer.result);
    EXPECT_EQ(a.repostToParent, r.answer.repostToParent);
  }
}

intptr_t At(int x, int y) { return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | (x & 0xFFFF)); }

TEST(ScrnsaveDefault, WhichMessagesEndTheSaver) {
  const DefaultState fullScreen = {false, true, false, false, 100, 100, 1};
  DefaultState creating = fullScreen;
  creating.created = false;
  DefaultState preview = fullScreen;
  preview.preview = true;
  struct Row {
    const char* name;
    Message m;
    const DefaultState* state;
    int acNow;
    bool close;
    bool hide;
    bool answer;
  };
  const Row rows[] = {
      {"key", {kWmKeyDown, 65, 0}, &fullScreen, 1, true, false, false},
      {"system key", {kWmSysKeyDown, 18, 0}, &fullScreen, 1, true, false, false},
      {"left click", {kWmLButtonDown, 0, 0}, &fullScreen, 1, true, false, false},
      {"right click", {kWmRButtonDown, 0, 0}, &fullScreen, 1, true, false, false},
      {"middle click", {kWmMButtonDown, 0, 0}, &fullScreen, 1, true, false, false},
      {"mouse moved 4 pixels", {kWmMouseMove, 0, At(102, 98)}, &fullScreen, 1, false, false, false},
      {"mouse moved 5 pixels", {kWmMouseMove, 0, At(103, 98)}, &fullScreen, 1, true, false, false},
      {"mouse moved back across", {kWmMouseMove, 0, At(95, 100)}, &fullScreen, 1, true, false, false},
      {"losing activation", {kWmActivateApp, 0, 0}, &fullScreen, 1, true, false, false},
      {"gaining activation", {kWmActivateApp, 1, 0}, &fullScreen, 1, false, false, false},
      {"critical resume", {kWmPower, kPwrCriticalResume, 0}, &fullScreen, 1, true, false, false},
      {"suspend query", {kWmPowerBroadcast, 0, 0}, &fullScreen, 1, true, false, false},
      {"resume from failure", {kWmPowerBroadcast, kPbtApmResumeSuspend, kPbtfApmResumeFromFailure}, &fullScreen, 1,
       false, false, false},
      {"resume", {kWmPowerBroadcast, kPbtApmResumeSuspend, 0}, &fullScreen, 1, true, false, false},
      {"automatic resume from failure", {kWmPowerBroadcast, kPbtApmResumeAutomatic, kPbtfApmResumeFromFailure},
       &fullScreen, 1, false, false, false},
      {"power status, AC unchanged", {kWmPowerBroadcast, kPbtApmPowerStatusChange, 0}, &fullScreen, 1, false, false, false},
      {"power status, AC changed", {kWmPowerBroadcast, kPbtApmPowerStatusChange, 0}, &fullScreen, 0, true, false, false},
      {"set cursor", {kWmSetCursor, 0, 0}, &fullScreen, 1, false, true, true},
      {"shown", {kWmShowWindow, 1, 0}, &fullScreen, 1, false, true, false},
      {"losing activation while the window is created", {kWmActivateApp, 0, 0}, &creating, 1, false, false, false},
      {"key while the window is created", {kWmKeyDown, 65, 0}, &creating, 1, false, false, false},
      {"set cursor while the window is created", {kWmSetCursor, 0, 0}, &creating, 1, false, true, true},
      {"key in the preview", {kWmKeyDown, 65, 0}, &preview, 1, false, false, false},
      {"click in the preview", {kWmLButtonDown, 0, 0}, &preview, 1, false, false, false},
      {"losing activation in the preview", {kWmActivateApp, 0, 0}, &preview, 1, false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const DefaultAction a = Default(r.m, *r.state, r.acNow);
    EXPECT_EQ(a.postClose, r.close);
    EXPECT_EQ(a.hideCursor, r.hide);
    EXPECT_EQ(a.answer, r.answer);
  }
  const DefaultAction moved = Default({kWmMouseMove, 0, At(110, 100)}, fullScreen, 1);
  EXPECT_TRUE(moved.updateCursor) << "the recorded position follows a move that counts";
}

}  // namespace
