// The channel base, the value channel and the small engine records.
#include "meshwerk/channel.h"

#include <string.h>

#include <string>
#include <vector>

#include "event_log.h"
#include "meshwerk/file.h"
#include "meshwerk/guid.h"

namespace {

void CopyText(char* dst, size_t size, const char* src) {
  if (size == 0) return;
  size_t n = 0;
  if (src != nullptr) {
    while (n + 1 < size && src[n] != '\0') ++n;
    memcpy(dst, src, n);
  }
  memset(dst + n, 0, size - n);
}

// The engine's part of a channel's saved block, after the tag and size:
//   u32 version (1), 16-byte type GUID, u32 name length, name bytes.
constexpr char kChannelTag[] = "KVCH";
constexpr uint32_t kChannelBlockVersion = 1;
constexpr size_t kChannelBlockFixed = 4 + 16 + 4;

void PutU32(std::vector<unsigned char>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
uint32_t GetU32(const unsigned char* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

// ---- records ---------------------------------------------------------------

ChannelType::ChannelType() : typeGuid(meshwerk::kNullGuid), classGuid(meshwerk::kNullGuid) {
  memset(name, 0, sizeof name);
  static const uint32_t kInitialWords[kWordCount] = {1, 0, 0, 7, 1, 0};
  memcpy(words, kInitialWords, sizeof words);
}

ChildCreation::ChildCreation()
    : index(-1), optional(false), hidden(false), guid(meshwerk::kNullGuid), word0(0), word1(1) {
  type.classGuid = meshwerk::kChildCreationDefaultGuid;
  memset(displayName, 0, sizeof displayName);
}

struct Kvn_ListData {
  std::vector<std::string> items;
};

Kvn_List::Kvn_List() : data_(new Kvn_ListData) {}
Kvn_List::~Kvn_List() { delete data_; }
void Kvn_List::Add(const char* text) { data_->items.emplace_back(text ? text : ""); }
int Kvn_List::Count() const { return static_cast<int>(data_->items.size()); }
const char* Kvn_List::Item(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return data_->items[static_cast<size_t>(i)].c_str();
}

Kvn_ChannelGroup::Kvn_ChannelGroup() : id(0) {}

struct ShowDebugMessageData {
  std::vector<std::string> texts;
};

ShowDebugMessage::ShowDebugMessage() : data_(new ShowDebugMessageData) {}
ShowDebugMessage::~ShowDebugMessage() { delete data_; }
void ShowDebugMessage::operator()(const char* text) {
  data_->texts.emplace_back(text ? text : "");
#if defined(_WIN32)
  OutputDebugStringA(data_->texts.back().c_str());
  OutputDebugStringA("\n");
#endif
}
int ShowDebugMessage::Count() const { return static_cast<int>(data_->texts.size()); }
const char* ShowDebugMessage::Text(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return data_->texts[static_cast<size_t>(i)].c_str();
}
void ShowDebugMessage::Clear() { data_->texts.clear(); }

Kvn_EngineContext& Kvn_EngineContext::Default() {
  static Kvn_EngineContext context;
  return context;
}

DllInterface::DllInterface() : context_(&Kvn_EngineContext::Default()) {}
DllInterface::DllInterface(const DllInterface& other) : context_(other.context_) {}
DllInterface& DllInterface::operator=(const DllInterface& other) {
  context_ = other.context_;
  return *this;
}
DllInterface::~DllInterface() = default;
void DllInterface::SetEngineContext(Kvn_EngineContext* context) {
  context_ = context ? context : &Kvn_EngineContext::Default();
}

// ---- Kvn_Channel -----------------------------------------------------------

struct Kvn_ChannelData {
  std::string name;
  int creationCount = 0;
  std::vector<ChildCreation> slots;
  std::vector<bool> defined;
  std::vector<Kvn_Channel*> links;
  ChannelType typeRecord;
  bool hasTypeRecord = false;
  unsigned long timeStamp = 0;
  int interfaceType = 0;
  Kvn_ChannelGroup* group = nullptr;

  void Grow(size_t n) {
    if (slots.size() < n) {
      slots.resize(n);
      defined.resize(n, false);
      links.resize(n, nullptr);
    }
  }
};

namespace {
unsigned long g_clock = 0;  // the engine's time stamps: a counter per process
}

Kvn_Channel::Kvn_Channel() : data_(new Kvn_ChannelData) {}
Kvn_Channel::Kvn_Channel(const Kvn_Channel& other)
    : DllInterface(other), data_(new Kvn_ChannelData(*other.data_)) {}
Kvn_Channel& Kvn_Channel::operator=(const Kvn_Channel& other) {
  if (this != &other) {
    DllInterface::operator=(other);
    *data_ = *other.data_;
  }
  return *this;
}
Kvn_Channel::~Kvn_Channel() { delete data_; }

void Kvn_Channel::CallChannel() {}
void Kvn_Channel::OneTimeInitialize() {}
void Kvn_Channel::DoEvent(int, unsigned long) {}

ChannelType Kvn_Channel::GetChannelType() {
  if (data_->hasTypeRecord) return data_->typeRecord;
  ChannelType t;
  CopyText(t.name, sizeof t.name, data_->name.c_str());
  return t;
}

bool Kvn_Channel::SaveChannel(KvnFileSaver& saver) {
  if (!saver.IsOpen()) return false;
  std::vector<unsigned char> block;
  PutU32(block, kChannelBlockVersion);
  const GUID type = GetChannelType().typeGuid;
  const unsigned char* g = reinterpret_cast<const unsigned char*>(&type);
  block.insert(block.end(), g, g + sizeof(GUID));
  PutU32(block, static_cast<uint32_t>(data_->name.size()));
  block.insert(block.end(), data_->name.begin(), data_->name.end());
  return saver.SaveTag(kChannelTag) == 1 && saver.SaveBlockSize(static_cast<unsigned long>(block.size())) == 1 &&
         saver.SaveDataToFile(block.data(), static_cast<unsigned long>(block.size())) == 1;
}

bool Kvn_Channel::LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group) {
  char tag[5] = {'K', 'V', 'C', 'H', 0};
  if (!loader.GetInfoIfTag(tag)) return false;
  const unsigned long size = loader.GetTagDataSize();
  if (size < kChannelBlockFixed || size > kChannelBlockFixed + ChannelType::kNameSize - 1) return false;
  unsigned char block[kChannelBlockFixed + ChannelType::kNameSize];
  if (loader.CopyTagData(block, sizeof block) != size) return false;
  if (GetU32(block) != kChannelBlockVersion) return false;
  const uint32_t nameLength = GetU32(block + 20);
  if (nameLength != size - kChannelBlockFixed) return false;
  data_->name.assign(reinterpret_cast<const char*>(block + kChannelBlockFixed), nameLength);
  if (data_->name.find('\0') != std::string::npos) return false;
  data_->group = group;
  return true;
}

void Kvn_Channel::SetChannelInterfaceType(int type) { data_->interfaceType = type; }
Kvn_Channel* Kvn_Channel::GetChannelFromChannel(Kvn_Channel* channel, ChildInfo*) { return channel; }
unsigned long Kvn_Channel::GetTimeStamp() { return data_->timeStamp; }
void Kvn_Channel::SetTimeStamp() { data_->timeStamp = ++g_clock; }
void Kvn_Channel::DoDependencyInit(Kvn_List*) {}
void Kvn_Channel::CheckIndexNrRemoval(int index) {
  if (index >= 0 && static_cast<size_t>(index) < data_->links.size()) data_->links[static_cast<size_t>(index)] = nullptr;
}
Kvn_Channel* Kvn_Channel::GetInternalChild(int) { return nullptr; }
void Kvn_Channel::CheckPublicChannelInstanceRemoval(Kvn_Channel* channel, int) {
  for (auto& link : data_->links)
    if (link == channel) link = nullptr;
}
void Kvn_Channel::AddMetaData(KvnFileSaver&) {}
void Kvn_Channel::SetChannelGroup(Kvn_ChannelGroup* group) { data_->group = group; }
ChannelFeedback* Kvn_Channel::GetFeedbackClass() { return nullptr; }

void Kvn_Channel::SetChannelName(const char* name) {
  data_->name.assign(name ? name : "");
  if (data_->name.size() >= ChannelType::kNameSize) data_->name.resize(ChannelType::kNameSize - 1);
}

void Kvn_Channel::SetChildCreationCount(int count) { data_->creationCount = count < 0 ? 0 : count; }

void Kvn_Channel::SetChildCreateType(ChildCreation record, int index) {
  if (index < 0 || index >= 1024) return;  // no channel has that many children
  data_->Grow(static_cast<size_t>(index) + 1);
  record.type.name[ChannelType::kNameSize - 1] = '\0';
  record.displayName[ChildCreation::kDisplayNameSize - 1] = '\0';
  data_->slots[static_cast<size_t>(index)] = record;
  data_->defined[static_cast<size_t>(index)] = true;
}

Kvn_Channel* Kvn_Channel::GetChild(int index) {
  if (index < 0 || static_cast<size_t>(index) >= data_->links.size()) return nullptr;
  return data_->links[static_cast<size_t>(index)];
}

void Kvn_Channel::AddDLLDepend(const char* library, Kvn_List* list) {
  if (list != nullptr && library != nullptr) list->Add(library);
}

const char* Kvn_Channel::GetChannelName() const { return data_->name.c_str(); }

int Kvn_Channel::GetChildSlotCount() const {
  const int defined = static_cast<int>(data_->slots.size());
  return defined > data_->creationCount ? defined : data_->creationCount;
}

const ChildCreation* Kvn_Channel::GetChildSlot(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= data_->slots.size() || !data_->defined[static_cast<size_t>(index)])
    return nullptr;
  return &data_->slots[static_cast<size_t>(index)];
}

bool Kvn_Channel::LinkChild(int index, Kvn_Channel* child) {
  const ChildCreation* slot = GetChildSlot(index);
  if (slot == nullptr) return false;
  if (child != nullptr && !meshwerk::GuidEqual(child->GetChannelType().typeGuid, slot->type.typeGuid)) return false;
  data_->links[static_cast<size_t>(index)] = child;
  return true;
}

void Kvn_Channel::SetTypeRecord(const ChannelType& record) {
  data_->typeRecord = record;
  data_->typeRecord.name[ChannelType::kNameSize - 1] = '\0';
  data_->hasTypeRecord = true;
}

int Kvn_Channel::GetInterfaceType() const { return data_->interfaceType; }
Kvn_ChannelGroup* Kvn_Channel::GetChannelGroup() const { return data_->group; }

// ---- Kvn_ValueChannel ------------------------------------------------------

namespace {
constexpr char kValueTag[] = "KVVL";
}

Kvn_ValueChannel::Kvn_ValueChannel(float value) : value_(value) {
  ChannelType t;
  CopyText(t.name, sizeof t.name, "ValueChannel");
  t.typeGuid = meshwerk::kValueChannelType;
  t.classGuid = meshwerk::kValueChannelType;
  SetTypeRecord(t);
  SetChannelName("ValueChannel");
}
Kvn_ValueChannel::Kvn_ValueChannel(const Kvn_ValueChannel& other) = default;
Kvn_ValueChannel& Kvn_ValueChannel::operator=(const Kvn_ValueChannel& other) = default;
Kvn_ValueChannel::~Kvn_ValueChannel() = default;

ChannelType Kvn_ValueChannel::GetChannelType() { return Kvn_Channel::GetChannelType(); }

bool Kvn_ValueChannel::SaveChannel(KvnFileSaver& saver) {
  if (!Kvn_Channel::SaveChannel(saver)) return false;
  return saver.SaveTag(kValueTag) == 1 && saver.SaveBlockSize(4) == 1 && saver.SaveDataToFile(&value_, 4) == 1;
}

bool Kvn_ValueChannel::LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group) {
  if (!Kvn_Channel::LoadChannel(loader, group)) return false;
  char tag[5] = {'K', 'V', 'V', 'L', 0};
  if (!loader.GetInfoIfTag(tag) || loader.GetTagDataSize() != 4) return false;
  float v = 0.0f;
  loader.CopyTagData(&v, 4);
  value_ = v;
  return true;
}

float Kvn_ValueChannel::GetValue() { return value_; }
void Kvn_ValueChannel::SetValue(float value) {
  meshwerk::LogEvent("SetValue %s %g", GetChannelName(), static_cast<double>(value));
  value_ = value;
}
void Kvn_ValueChannel::Assign(float value) { value_ = value; }
