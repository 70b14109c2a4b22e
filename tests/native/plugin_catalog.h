// The nine effect libraries as the tests know them, independently of the
// plug-ins' own tables: file, names, slots, and child values inside every
// range to start from.
#pragma once

#include <stddef.h>

#include <ostream>
#include <vector>

#include "bass/bass_api.h"
#include "meshwerk/channel.h"

enum class PluginId { kEcho, kChorus, kFlanger, kDistortion, kCompressor, kGargle, kReverb, kParamEQ, kEAX };

constexpr DWORD kNoDx8Effect = 0xFFFFFFFFu;

struct PluginCase {
  PluginId id;
  const char* path;
  const char* channelName;
  const char* guid;
  DWORD fxType;                 // kNoDx8Effect for the EAX plug-in
  uint32_t BassStream::*slot;   // null for the EAX plug-in
  std::vector<const char*> displayNames;
  const char* childTypeName;
  int creationCount;
  const char* saveTag;
  std::vector<float> baseline;
};

inline void PrintTo(const PluginCase& c, std::ostream* os) { *os << c.channelName; }

inline const std::vector<PluginCase>& Plugins() {
  static const std::vector<PluginCase> plugins = {
      {PluginId::kEcho, PLUGIN_ECHO_PATH, "EchoStream", "5E0C1A47-2B93-4D6E-8F10-3C7A9B52E614", BASS_FX_DX8_ECHO,
       &BassStream::echo,
       {"Mix (0/100)", "Feedback (0/100)", "LeftDelay (1/2000)ms", "Rightdelay (1/2000)ms", "Pan delay (0/1)"},
       "EchoStream", 0, "XXXX", {50, 50, 100, 100, 0}},
      {PluginId::kChorus, PLUGIN_CHORUS_PATH, "ChorusStream", "71D4E2A9-0C56-4B8F-9A3E-D2F81C6B0357",
       BASS_FX_DX8_CHORUS, &BassStream::chorus,
       {"Mix (0/100)", "Depth(0/100)", "Feedback (-99/99", "Frequency (0/10)", "Waveform (0=Triangle/1=Sinus)",
        "Delay (0/20) ms", "Phase (0/4)"},
       "ChorusStream", 0, "XXXX", {50, 50, 0, 5, 1, 10, 2}},
      {PluginId::kFlanger, PLUGIN_FLANGER_PATH, "FlangerStream", "A05E9C36-4D1B-4E72-8C69-1B7D3F24E8A0",
       BASS_FX_DX8_FLANGER, &BassStream::flanger,
       {"Mix (0/100)%", "Depth (0/100)%", "Feedback (-99/99)", "Frequency LFO (0/10)", "Waveform (0/1)",
        "Delay (0/4) ms", "Phase (0/4)"},
       "FlangerStream", 0, "XXXX", {50, 50, 0, 5, 1, 2, 2}},
      {PluginId::kDistortion, PLUGIN_DISTORTION_PATH, "DistorsionStream", "2C8B5F13-E7A4-4690-B1D5-8E3F06A92C71",
       BASS_FX_DX8_DISTORTION, &BassStream::distortion,
       {"Gain (-60/0)Db", "Edge (0/100)%", "CenterFrequency(100/8000)hz", "BandWith(100/8000)hz",
        "LowPass Cut(100/8000)hz"},
       "DistorsionStream", 0, "XXXX", {-30, 50, 1000, 1000, 1000}},
      {PluginId::kCompressor, PLUGIN_COMPRESSOR_PATH, "CompressorStream", "E49C0B72-5A1D-4F83-A6E2-7B30C95D1F48",
       BASS_FX_DX8_COMPRESSOR, &BassStream::compressor,
       {"Gain (-60/60)dB", "Attack (0.001/500) ms", "Release (50/3000)dB", "Thresold (-60/0)", "Ratio(1/100)",
        "PreDelay(0/4)ms"},
       "CompressorStream", 0, "XXXX", {0, 10, 200, -20, 3, 2}},
      {PluginId::kGargle, PLUGIN_GARGLE_PATH, "GargleStream", "1F7D3E95-C248-4B0A-9D71-6E5A20B8C3F9",
       BASS_FX_DX8_GARGLE, &BassStream::gargle, {"Rate Hz (0/1000)", "Wave Shape (0/1)"}, "GargleStream", 0, "XXXX",
       {20, 0}},
      {PluginId::kReverb, PLUGIN_REVERB_PATH, "ReverbStream", "8B31F6D0-7E29-4C54-A0B8-F4D26E913C57",
       BASS_FX_DX8_REVERB, &BassStream::reverb,
       {"Gain (-96/0)Db", "Mix (-96/0)Db", "Time (0.001/3000)ms", "HighFrequecyRT Ratio (0.001/0.999)"},
       "ReverbStream", 0, "XXXX", {-10, -10, 1000, 0.5f}},
      {PluginId::kParamEQ, PLUGIN_PARAMEQ_PATH, "ParamEQStream", "C76E2D1B-0F84-4A39-B5C2-9A18E7F40D63",
       BASS_FX_DX8_PARAMEQ, &BassStream::parameq, {"Center Freq. (80-16000)", "BandWidth (1-36)", "Gain (-15/15)"},
       "ParamEQStream", 0, "XXXX", {1000, 10, 0}},
      {PluginId::kEAX, PLUGIN_EAX_PATH, "EAXStream", "6D2A71F8-93C0-4A5B-BE47-05C9D81F3A26", kNoDx8Effect, nullptr,
       {"EAX Effect"}, "EAXSTREAM_CHANNEL_NAME", 1, "EAXE", {8}},
  };
  return plugins;
}

inline const PluginCase& Plugin(PluginId id) {
  for (const PluginCase& c : Plugins())
    if (c.id == id) return c;
  return Plugins().front();
}

// The engine reaches the operations a plug-in appends by their place in the
// table: after the destructor's two entries and the seventeen others.
constexpr int kHasChangedSlot = 19;
constexpr int kStreamOperationSlot = 20;

inline void* TableEntry(Kvn_Channel* channel, int slot) { return (*reinterpret_cast<void***>(channel))[slot]; }
inline void StreamOperation(Kvn_Channel* channel, BassStream* stream) {
  reinterpret_cast<void (*)(Kvn_Channel*, BassStream*)>(TableEntry(channel, kStreamOperationSlot))(channel, stream);
}
inline bool HasChanged(Kvn_Channel* channel) {
  return reinterpret_cast<bool (*)(Kvn_Channel*)>(TableEntry(channel, kHasChangedSlot))(channel);
}

// A plug-in library opened by path, as the engine opens it.
class LoadedPlugin {
 public:
  explicit LoadedPlugin(const PluginCase& c);
  ~LoadedPlugin();
  bool ok() const { return getType_ != nullptr && initDll_ != nullptr; }
  ChannelType* GetType() const { return getType_(); }
  Kvn_Channel* InitDLL() const { return initDll_(); }

 private:
  void* handle_ = nullptr;
  ChannelType* (*getType_)() = nullptr;
  Kvn_Channel* (*initDll_)() = nullptr;
};
