// The EAX plug-in: preset and error-text tables, and the channel.
#include "eax_stream.h"

#include <math.h>
#include <string.h>

namespace {

const kvc::Param kEaxParams[] = {
    // The child's float truncated toward zero (setEffect).
    {"EAX Effect", kvc::Rule::kClampAlways, 0, -1.0, 25.0, 0},
};

struct Preset {
  int environment;
  float volume;
  float decay;
  float damping;
};

// Rows -1 (nothing: every value left as it is) and 0 to 25.
const Preset kPresets[] = {
    {-1, -1.0f, -1.0f, -1.0f},    //
    {0, 0.5f, 1.493f, 0.5f},      // generic
    {1, 0.25f, 0.1f, 0.0f},       // padded cell
    {2, 0.417f, 0.4f, 0.666f},    // room
    {3, 0.653f, 1.499f, 0.166f},  // bathroom
    {4, 0.208f, 0.478f, 0.0f},    // living room
    {5, 0.5f, 2.309f, 0.888f},    // stone room
    {6, 0.403f, 4.279f, 0.5f},    // auditorium
    {7, 0.5f, 3.961f, 0.5f},      // concert hall
    {8, 0.5f, 2.886f, 1.304f},    // cave
    {9, 0.361f, 7.284f, 0.332f},  // arena
    {10, 0.5f, 10.0f, 0.3f},      // hangar
    {11, 0.153f, 0.259f, 2.0f},   // carpeted hallway
    {12, 0.361f, 1.493f, 0.0f},   // hallway
    {13, 0.444f, 2.697f, 0.638f}, // stone corridor
    {14, 0.25f, 1.752f, 0.776f},  // alley
    {15, 0.111f, 3.145f, 0.472f}, // forest
    {16, 0.111f, 2.767f, 0.224f}, // city
    {17, 0.194f, 7.841f, 0.472f}, // mountains
    {18, 1.0f, 1.499f, 0.5f},     // quarry
    {19, 0.097f, 2.767f, 0.224f}, // plain
    {20, 0.208f, 1.652f, 1.5f},   // parking lot
    {21, 0.652f, 2.886f, 0.25f},  // sewer pipe
    {22, 1.0f, 1.499f, 0.0f},     // underwater
    {23, 0.875f, 8.392f, 1.388f}, // drugged
    {24, 0.139f, 17.234f, 0.666f},// dizzy
    {25, 0.486f, 7.563f, 0.806f}, // psychotic
};

struct ErrorEntry {
  int code;
  const char* text;
};

const ErrorEntry kErrorTexts[] = {
    {-1, "Unknown error"},     {0, "Ok"},
    {1, "Memory error"},       {2, "Open file error"},
    {3, "Driver error"},       {4, "Buffer lost"},
    {5, "Bad handle"},         {6, "Format error"},
    {7, "Position error"},     {8, "Not initializated"},
    {9, "Not started"},        {14, "Already error"},
    {16, "not paused"},        {18, "not channel error"},
    {19, "ILLTYPE"},           {20, "ILLPARM"},
    {21, "No 3d support"},     {22, "No eax support"},
    {23, "Device error"},      {24, "Not playing"},
    {25, "Bad frequency"},     {27, "Bad file"},
    {29, "Not hardware support"}, {31, "Empty"},
    {32, "No net error"},      {33, "Create error"},
    {34, "No fx support"},     {35, "Stream playing"},
    {37, "Not avaliable error"}, {38, "Decode error"},
    {39, "Directsound error"}, {40, "Timeout error"},
    {41, "Fileform error"},    {42, "Speaker error"},
};

// What an index is when the float has no 32-bit integer value (NaN, or
// beyond the range): the lowest integer, outside every preset row.
constexpr int32_t kNoIndex = INT32_MIN;

int32_t TruncateToIndex(float v) {
  const double d = v;
  if (!(d > -2147483649.0 && d < 2147483648.0)) return kNoIndex;
  return static_cast<int32_t>(d);
}

}  // namespace

const kvc::EffectInfo Kvc_EAXStream::kInfo = {
    "EAXStream",
    {0x6D2A71F8, 0x93C0, 0x4A5B, {0xBE, 0x47, 0x05, 0xC9, 0xD8, 0x1F, 0x3A, 0x26}},
    0,        // no DX8 effect
    nullptr,  // no effect slot
    kEaxParams,
    kvc::CountOf(kEaxParams),
    "EAXSTREAM_CHANNEL_NAME",
    1,
};

const char* const Kvc_EAXStream::kFailureMessage = "No se pudo asignar los parametros EAX";

const char* Kvc_EAXStream::ErrorText(int code) {
  for (const ErrorEntry& e : kErrorTexts)
    if (e.code == code) return e.text;
  return "Unknown error";
}

// The change flag starts down: without its child and without a load, the
// channel leaves the stream alone.
Kvc_EAXStream::Kvc_EAXStream() : effectIndex_(-1), changed_(false) { kvc::DeclareChannel(*this, kInfo); }
Kvc_EAXStream::Kvc_EAXStream(const Kvc_EAXStream& other) = default;
Kvc_EAXStream& Kvc_EAXStream::operator=(const Kvc_EAXStream& other) = default;
Kvc_EAXStream::~Kvc_EAXStream() = default;

void Kvc_EAXStream::CallChannel() {}
void Kvc_EAXStream::DoDependencyInit(Kvn_List* list) { AddDLLDepend("bass.dll", list); }

bool Kvc_EAXStream::hasChanged() {
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

void Kvc_EAXStream::setEffect(float value) {
  changed_ = true;
  effectIndex_ = TruncateToIndex(value);
}

void Kvc_EAXStream::RefreshParms() {
  Kvn_Channel* child = GetChild(0);
  if (child == nullptr) return;
  setEffect(static_cast<Kvn_ValueChannel*>(child)->GetValue());
  changed_ = true;
}

bool Kvc_EAXStream::Apply(DWORD handle) {
  if (!BASS_ChannelSetEAXMix(handle, 1.0f)) return false;
  if (effectIndex_ < -1 || effectIndex_ > 25) return false;
  const Preset& p = kPresets[effectIndex_ + 1];
  return BASS_SetEAXParameters(p.environment, p.volume, p.decay, p.damping) != 0;
}

void Kvc_EAXStream::SetEaxEffect(BassStream* stream) {
  RefreshParms();
  if (!hasChanged()) return;
  if (Apply(stream->handle)) return;
  Kvn_EngineContext* context = GetEngineContext();
  context->errorMessage(ErrorText(BASS_ErrorGetCode()));
  context->channelMessage(kFailureMessage);
}

bool Kvc_EAXStream::SaveChannel(KvnFileSaver& saver) {
  if (!Kvn_Channel::SaveChannel(saver)) return false;
  const int32_t index = effectIndex_;  // little-endian in memory
  saver.SaveTag("EAXE");
  saver.SaveBlockSize(4);
  saver.SaveDataToFile(&index, 4);
  return true;
}

bool Kvc_EAXStream::LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group) {
  if (!Kvn_Channel::LoadChannel(loader, group)) return false;
  // Without an "EAXE" block of at least 4 bytes the channel keeps its index;
  // it is still passed on, so the next stream operation applies it.
  int32_t index = effectIndex_;
  char tag[] = "EAXE";
  if (loader.GetInfoIfTag(tag) && loader.GetTagDataSize() >= 4) {
    unsigned char bytes[4];
    loader.CopyTagData(bytes, 4);
    index = static_cast<int32_t>(uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
                                 (uint32_t(bytes[3]) << 24));
  }
  setEffect(static_cast<float>(index));
  return true;
}

KVC_PLUGIN_EXPORTS(Kvc_EAXStream)
