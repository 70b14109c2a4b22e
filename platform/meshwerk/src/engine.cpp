// The engine's host side: engine control, engine core, the objects the core
// makes by class GUID, and the project runner (docs/project_format.md).
#include "meshwerk/engine.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <deque>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#define KVN_THISCALL __attribute__((thiscall))
#else
#include <dlfcn.h>
#define KVN_THISCALL
#endif

#include "bass/bass_api.h"
#include "meshwerk/effect_view.h"
#include "event_log.h"
#include "meshwerk/file.h"
#include "meshwerk/guid.h"

namespace {

// A value channel of the project, constant or animated over time.
struct Value {
  std::unique_ptr<Kvn_ValueChannel> channel;
  float base = 0;
  enum class Motion { kNone, kSine, kRamp } motion = Motion::kNone;
  float amplitude = 0;  // sine: amplitude; ramp: units per second
  float period = 1;     // sine: seconds
};

struct Stream {
  std::string name;
  BassStream stream{};
};

struct Library {
#if defined(_WIN32)
  HMODULE module = nullptr;
#else
  void* module = nullptr;
#endif
  std::string guid;
  ChannelType* (*getType)() = nullptr;
  Kvn_Channel* (*initDll)() = nullptr;
};

struct Effect {
  Kvn_Channel* channel = nullptr;  // the plug-in's, destroyed through its virtual destructor
  size_t library = 0;
  size_t stream = 0;
  int applied = 0;
};

// The stream operation follows the eighteen base operations (the
// destructor takes two entries) and hasChanged.
constexpr int kStreamOperationEntry = 20;
using StreamOperation = void(KVN_THISCALL*)(Kvn_Channel*, BassStream*);

double Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

struct Kvn_EngineData {
  bool started = false;
  std::string product;
  std::string projectFolder;
  std::string projectFile;
  std::string registryKey;
  std::string lastError;
  void* window = nullptr;
  int frames = 0;
  int projectResult = 1;
  bool running = false;
  double startTime = 0;
  std::unique_ptr<Kvn_EngineCore> core;
  std::vector<std::unique_ptr<KvnFileSaver>> savers;  // hosts drop savers after Close
  std::vector<Value> values;
  std::vector<std::unique_ptr<Kvn_ValueChannel>> constants;  // unnamed effect parameters
  std::vector<Stream> streams;
  std::vector<Library> libraries;
  std::vector<Effect> effects;
  meshwerk::EffectView applied;  // what reached the audio library
  std::deque<double> frameTimes;  // of the last second, for the achieved rate

  const char* StreamName(DWORD handle) const {
    for (const Stream& s : streams)
      if (s.stream.handle == handle) return s.name.c_str();
    return "-";
  }

  Value* FindValue(const std::string& name) {
    for (Value& v : values)
      if (name == v.channel->GetChannelName()) return &v;
    return nullptr;
  }
  void ClearProject();
  bool LoadProject(std::string* error);
  bool OpenChannelLibrary(const std::string& guid, size_t* index, std::string* error);
  void Draw();
};

void Kvn_EngineData::ClearProject() {
  for (Effect& e : effects) delete e.channel;
  effects.clear();
  applied.Clear();
  frameTimes.clear();
  for (Stream& s : streams) BASS_StreamFree(s.stream.handle);
  streams.clear();
  values.clear();
  constants.clear();
  running = false;
}

bool Kvn_EngineData::OpenChannelLibrary(const std::string& guid, size_t* index, std::string* error) {
  for (size_t i = 0; i < libraries.size(); ++i)
    if (libraries[i].guid == guid) {
      *index = i;
      return true;
    }
  Library lib;
  lib.guid = guid;
#if defined(_WIN32)
  // The normal search: the host puts the project's channels folder on PATH.
  lib.module = LoadLibraryA((guid + ".dll").c_str());
  if (lib.module != nullptr) {
    lib.getType = reinterpret_cast<ChannelType* (*)()>(reinterpret_cast<void*>(GetProcAddress(lib.module, "GetType")));
    lib.initDll = reinterpret_cast<Kvn_Channel* (*)()>(reinterpret_cast<void*>(GetProcAddress(lib.module, "InitDLL")));
  }
#else
  // The project's channels folder first, then the normal search.
  lib.module = dlopen((projectFolder + "/channels/" + guid + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (lib.module == nullptr) lib.module = dlopen((guid + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (lib.module != nullptr) {
    lib.getType = reinterpret_cast<ChannelType* (*)()>(dlsym(lib.module, "GetType"));
    lib.initDll = reinterpret_cast<Kvn_Channel* (*)()>(dlsym(lib.module, "InitDLL"));
  }
#endif
  if (lib.module == nullptr || lib.getType == nullptr || lib.initDll == nullptr) {
    *error = "channel library " + guid + " not found or not a channel library";
    return false;
  }
  libraries.push_back(lib);
  *index = libraries.size() - 1;
  meshwerk::LogEvent("LoadLibrary %s", guid.c_str());
  return true;
}

bool Kvn_EngineData::LoadProject(std::string* error) {
  ClearProject();
  std::string path = projectFile;
  const bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'));
  if (!absolute) path = projectFolder + (projectFolder.empty() ? "" :
#if defined(_WIN32)
                                                                     "\\"
#else
                                                                     "/"
#endif
                                                                     ) + path;
  std::ifstream in(path);
  if (!in) {
    *error = "project file '" + path + "' cannot be read";
    return false;
  }
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& what) {
    *error = "project file line " + std::to_string(number) + ": " + what;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    if (keyword == "value") {
      Value v;
      std::string name, motion;
      if (!(words >> name >> v.base)) return fail("value needs a name and a number");
      if (FindValue(name)) return fail("value " + name + " declared twice");
      if (words >> motion) {
        if (motion == "sine") {
          v.motion = Value::Motion::kSine;
          if (!(words >> v.amplitude >> v.period) || !(v.period > 0)) return fail("sine needs an amplitude and a period above 0");
        } else if (motion == "ramp") {
          v.motion = Value::Motion::kRamp;
          if (!(words >> v.amplitude)) return fail("ramp needs a rate");
        } else {
          return fail("unknown motion '" + motion + "'");
        }
      }
      v.channel = std::make_unique<Kvn_ValueChannel>(v.base);
      v.channel->SetChannelName(name.c_str());
      values.push_back(std::move(v));
    } else if (keyword == "stream") {
      Stream s;
      if (!(words >> s.name)) return fail("stream needs a name");
      s.stream.handle = BASS_StreamCreate(44100, 2, 0, nullptr, nullptr);
      if (s.stream.handle == 0) return fail("the audio library made no stream");
      streams.push_back(s);
    } else if (keyword == "effect") {
      std::string guidText, streamName;
      if (!(words >> guidText >> streamName)) return fail("effect needs a channel type GUID and a stream");
      GUID guid;
      if (!meshwerk::GuidFromText(guidText.c_str(), &guid)) return fail("'" + guidText + "' is not a GUID");
      char canonical[meshwerk::kGuidTextSize];
      meshwerk::GuidToText(guid, canonical);
      Effect e;
      e.stream = streams.size();
      for (size_t i = 0; i < streams.size(); ++i)
        if (streams[i].name == streamName) e.stream = i;
      if (e.stream == streams.size()) return fail("no stream '" + streamName + "'");
      std::string libraryError;
      if (!OpenChannelLibrary(canonical, &e.library, &libraryError)) return fail(libraryError);
      const Library& lib = libraries[e.library];
      ChannelType* record = lib.getType();
      e.channel = lib.initDll();
      e.channel->SetTypeRecord(*record);
      Kvn_List dependencies;
      e.channel->DoDependencyInit(&dependencies);
      effects.push_back(e);
      std::string child;
      for (int i = 0; words >> child; ++i) {
        if (child == "-") continue;
        Kvn_ValueChannel* target = nullptr;
        char* end = nullptr;
        const float number = strtof(child.c_str(), &end);
        if (end != child.c_str() && *end == '\0') {
          constants.push_back(std::make_unique<Kvn_ValueChannel>(number));
          target = constants.back().get();
        } else if (Value* v = FindValue(child)) {
          target = v->channel.get();
        } else {
          return fail("no value '" + child + "'");
        }
        if (!e.channel->LinkChild(i, target)) return fail("the channel has no parameter " + std::to_string(i));
      }
    } else {
      return fail("unknown statement '" + keyword + "'");
    }
  }
  return true;
}

// Draws the frame into the window: a turning wireframe cube and, over it,
// the frame count and achieved rate, every value channel with its current
// value (the saver flags highlighted), every effect channel, and what each
// effect last applied to the audio library.
void Kvn_EngineData::Draw() {
#if defined(_WIN32)
  HWND hwnd = static_cast<HWND>(window);
  if (hwnd == nullptr || !IsWindow(hwnd)) return;
  RECT r;
  GetClientRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  HDC dc = GetDC(hwnd);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(mem, bitmap);
  FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  const double a = frames * 0.02, b = frames * 0.013;
  const double size = (w < h ? w : h) * 0.25;
  POINT p[8];
  for (int i = 0; i < 8; ++i) {
    double x = (i & 1) ? 1 : -1, y = (i & 2) ? 1 : -1, z = (i & 4) ? 1 : -1;
    double x1 = x * cos(a) - z * sin(a), z1 = x * sin(a) + z * cos(a);
    double y1 = y * cos(b) - z1 * sin(b), z2 = y * sin(b) + z1 * cos(b);
    const double scale = size * 3 / (z2 + 4);
    p[i].x = static_cast<LONG>(w / 2 + x1 * scale);
    p[i].y = static_cast<LONG>(h / 2 + y1 * scale);
  }
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(80, 200, 255));
  HGDIOBJ oldPen = SelectObject(mem, pen);
  for (int i = 0; i < 8; ++i)
    for (int bit = 1; bit < 8; bit <<= 1)
      if (!(i & bit)) {
        MoveToEx(mem, p[i].x, p[i].y, nullptr);
        LineTo(mem, p[i | bit].x, p[i | bit].y);
      }
  SelectObject(mem, oldPen);
  DeleteObject(pen);

  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, RGB(230, 230, 230));
  char line[512];
  int y = 8;
  auto write = [&](COLORREF color) {
    SetTextColor(mem, color);
    TextOutA(mem, 8, y, line, static_cast<int>(strlen(line)));
    y += 16;
  };
  double fps = 0;
  if (frameTimes.size() > 1) fps = (frameTimes.size() - 1) / (frameTimes.back() - frameTimes.front());
  snprintf(line, sizeof line, "%s  frame %d  %.1f frames per second", product.c_str(), frames, fps);
  write(RGB(255, 255, 255));
  for (const Value& v : values) {
    snprintf(line, sizeof line, "%s = %.3f", v.channel->GetChannelName(), static_cast<double>(v.channel->GetValue()));
    const bool flag = strncmp(v.channel->GetChannelName(), "LumoSaver", 9) == 0;
    write(flag ? RGB(255, 220, 80) : RGB(200, 200, 200));
  }
  for (const Effect& e : effects) {
    snprintf(line, sizeof line, "%s on %s", e.channel->GetChannelName(), streams[e.stream].name.c_str());
    write(RGB(160, 160, 160));
  }
  for (const meshwerk::AppliedEffect& e : applied.Effects()) {
    snprintf(line, sizeof line, "%s on %s, applied %d times: %s", meshwerk::EffectTypeName(e.type),
             StreamName(e.stream), e.count, e.parameters.c_str());
    write(RGB(120, 230, 140));
  }
  BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bitmap);
  DeleteDC(mem);
  ReleaseDC(hwnd, dc);
#endif
}

// ---- engine core -------------------------------------------------------

Kvn_EngineCore::Kvn_EngineCore(Kvn_EngineData* engine) : engine_(engine) {}
Kvn_EngineCore::~Kvn_EngineCore() = default;

void* Kvn_EngineCore::CreateObject(GUID classGuid, int, int) {
  char text[meshwerk::kGuidTextSize];
  meshwerk::GuidToText(classGuid, text);
  meshwerk::LogEvent("CreateObject %s", text);
  if (meshwerk::GuidEqual(classGuid, meshwerk::kFileLoaderClass)) return new KvnFileLoader();
  if (meshwerk::GuidEqual(classGuid, meshwerk::kFileSaverClass)) {
    engine_->savers.push_back(std::make_unique<KvnFileSaver>());
    return engine_->savers.back().get();
  }
  return nullptr;
}

Kvn_ValueChannel* Kvn_EngineCore::FindChannel(GUID typeGuid, const char* name) {
  meshwerk::LogEvent("FindChannel %s", name ? name : "(null)");
  if (name == nullptr || !meshwerk::GuidEqual(typeGuid, meshwerk::kValueChannelType)) return nullptr;
  Value* v = engine_->FindValue(name);
  return v ? v->channel.get() : nullptr;
}

// ---- engine control ----------------------------------------------------

Kvn_EngineControl::Kvn_EngineControl() : data_(new Kvn_EngineData) {}
Kvn_EngineControl::~Kvn_EngineControl() {
  data_->ClearProject();
  delete data_;
}

void Kvn_EngineControl::Release(int how) {
  meshwerk::LogEvent("Release %d", how);
  if (how == 1) delete this;
}

bool Kvn_EngineControl::StartEngine(void* instance, const char* product, void* window) {
  meshwerk::LogEvent("StartEngine %p %s %p", instance, product ? product : "(null)", window);
  data_->product = product ? product : "";
  data_->window = window;
  data_->core = std::make_unique<Kvn_EngineCore>(data_);
  data_->started = true;
  return true;
}

Kvn_EngineCore* Kvn_EngineControl::GetEngineCore() {
  meshwerk::LogEvent("GetEngineCore");
  return data_->core.get();
}

void Kvn_EngineControl::SetProjectFile(const char* file) {
  meshwerk::LogEvent("SetProjectFile %s", file ? file : "(null)");
  data_->projectFile = file ? file : "";
  std::string error;
  data_->projectResult = data_->LoadProject(&error) ? 0 : 1;
  data_->lastError = error;
  if (data_->projectResult != 0) {
    data_->ClearProject();
    Kvn_EngineContext::Default().errorMessage(error.c_str());
    meshwerk::LogEvent("ProjectError %s", error.c_str());
  }
}

int Kvn_EngineControl::StartProject() {
  if (data_->projectResult == 0 && data_->started) {
    data_->running = true;
    data_->startTime = Seconds();
    data_->frames = 0;
  }
  const int result = data_->running ? 0 : (data_->started ? data_->projectResult : 2);
  meshwerk::LogEvent("StartProject %d", result);
  return result;
}

int Kvn_EngineControl::RunFrame() {
  if (!data_->running) return 1;
  ++data_->frames;
  const double t = Seconds() - data_->startTime;
  for (Value& v : data_->values) {
    if (v.motion == Value::Motion::kSine)
      v.channel->Assign(static_cast<float>(v.base + v.amplitude * sin(2 * 3.14159265358979323846 * t / v.period)));
    else if (v.motion == Value::Motion::kRamp)
      v.channel->Assign(static_cast<float>(v.base + v.amplitude * t));
  }
  for (Effect& e : data_->effects) {
    void** table = *reinterpret_cast<void***>(e.channel);
    reinterpret_cast<StreamOperation>(table[kStreamOperationEntry])(e.channel, &data_->streams[e.stream].stream);
    ++e.applied;
  }
  meshwerk::LogEvent("RunFrame %d %.3f", data_->frames, t);
  for (const meshwerk::AppliedEffect* e : data_->applied.Update())
    meshwerk::LogEvent("Effect %s %s %d %s", data_->StreamName(e->stream), meshwerk::EffectTypeName(e->type), e->count,
                       e->parameters.c_str());
  data_->frameTimes.push_back(t);
  while (data_->frameTimes.size() > 1 && t - data_->frameTimes.front() > 1.0) data_->frameTimes.pop_front();
  data_->Draw();
  return 0;
}

intptr_t Kvn_EngineControl::HandleMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  meshwerk::LogEvent("HandleMessage %p 0x%04X %lu %ld", window, message, static_cast<unsigned long>(wParam),
                     static_cast<long>(lParam));
  return 0;
}

void Kvn_EngineControl::SetProjectFolder(const char* folder) {
  meshwerk::LogEvent("SetProjectFolder %s", folder ? folder : "(null)");
  data_->projectFolder = folder ? folder : "";
}

void Kvn_EngineControl::SetRegistryKey(const char* key) {
  meshwerk::LogEvent("SetRegistryKey %s", key ? key : "(null)");
  data_->registryKey = key ? key : "";
}

bool Kvn_EngineControl::IsStarted() const { return data_->started; }
int Kvn_EngineControl::FramesRun() const { return data_->frames; }
const char* Kvn_EngineControl::LastError() const { return data_->lastError.c_str(); }
int Kvn_EngineControl::EffectCount() const { return static_cast<int>(data_->effects.size()); }
Kvn_Channel* Kvn_EngineControl::EffectChannel(int i) const {
  return i >= 0 && i < EffectCount() ? data_->effects[static_cast<size_t>(i)].channel : nullptr;
}
BassStream* Kvn_EngineControl::StreamOf(int effect) const {
  return effect >= 0 && effect < EffectCount() ? &data_->streams[data_->effects[static_cast<size_t>(effect)].stream].stream
                                               : nullptr;
}

extern "C" Kvn_EngineControl* GetEngineControlInstance() {
  meshwerk::LogEvent("GetEngineControlInstance");
  return new Kvn_EngineControl();
}
