// The engine's channel side: the channel base class and the records and
// helpers that channels (built-in and plug-in) use.
//
// A plug-in derives its channel class from Kvn_Channel and appends its own
// virtual operations after the eighteen below; the engine calls those by
// their table position. Child slots are declared with SetChildCreateType;
// the engine links a value channel to a slot (LinkChild) and the channel
// finds it again with GetChild.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "meshwerk/api.h"

class KvnFileSaver;
class KvnFileLoader;
class Kvn_Channel;
class ChildInfo;        // opaque to channels
class ChannelFeedback;  // opaque to channels
struct Kvn_ChannelData;
struct Kvn_ListData;
struct ShowDebugMessageData;

// A channel type's static record. The engine reads the name and the two
// GUIDs; the words are the engine's own:
//   words[0]  record layout version            (constructor: 1)
//   words[1]  interface mask                   (constructor: 0)
//   words[2]  instances per project, 0 = none  (constructor: 0)
//   words[3]  editor group                     (constructor: 7)
//   words[4]  built into the engine, 1 or 0    (constructor: 1)
//   words[5]  reserved                         (constructor: 0)
struct MESHWERK_API ChannelType {
  static constexpr int kNameSize = 64;
  static constexpr int kWordCount = 6;

  char name[kNameSize];
  GUID typeGuid;   // first GUID
  GUID classGuid;  // second GUID
  uint32_t words[kWordCount];

  ChannelType();
};

// The definition of one child slot, passed by value to SetChildCreateType.
struct MESHWERK_API ChildCreation {
  static constexpr int kDisplayNameSize = 64;

  ChannelType type;  // type.typeGuid: the child's channel type
  int32_t index;
  bool optional;     // first flag
  bool hidden;       // second flag
  char displayName[kDisplayNameSize];
  GUID guid;
  uint32_t word0;
  uint32_t word1;

  ChildCreation();
};

// Passed on to channels untouched by the plug-ins.
class MESHWERK_API Kvn_List {
 public:
  Kvn_List();
  ~Kvn_List();
  Kvn_List(const Kvn_List&) = delete;
  Kvn_List& operator=(const Kvn_List&) = delete;

  void Add(const char* text);
  int Count() const;
  const char* Item(int i) const;  // null outside 0..Count()-1

 private:
  Kvn_ListData* data_;
};

class MESHWERK_API Kvn_ChannelGroup {
 public:
  Kvn_ChannelGroup();
  int id;
};

// A sink for the engine's debug messages, called like a function. It keeps
// what it received (Count/Text) and, in the Windows build, passes each text
// on to the debugger output.
class MESHWERK_API ShowDebugMessage {
 public:
  ShowDebugMessage();
  ~ShowDebugMessage();
  ShowDebugMessage(const ShowDebugMessage&) = delete;
  ShowDebugMessage& operator=(const ShowDebugMessage&) = delete;

  void operator()(const char* text);
  int Count() const;
  const char* Text(int i) const;  // null outside 0..Count()-1
  void Clear();

 private:
  ShowDebugMessageData* data_;
};

// The engine object a channel reaches through its base part. The two
// message sinks sit next to each other: the first gets error texts, the
// second the channel's own message.
struct MESHWERK_API Kvn_EngineContext {
  ShowDebugMessage errorMessage;
  ShowDebugMessage channelMessage;

  // The process-wide context every channel starts with.
  static Kvn_EngineContext& Default();
};

class MESHWERK_API DllInterface {
 public:
  DllInterface();
  DllInterface(const DllInterface& other);
  DllInterface& operator=(const DllInterface& other);
  virtual ~DllInterface();

  Kvn_EngineContext* GetEngineContext() const { return context_; }
  void SetEngineContext(Kvn_EngineContext* context);  // null: the default one

 private:
  Kvn_EngineContext* context_;
};

class MESHWERK_API Kvn_Channel : public DllInterface {
 public:
  Kvn_Channel();
  Kvn_Channel(const Kvn_Channel& other);
  Kvn_Channel& operator=(const Kvn_Channel& other);

  // The table of virtual operations, in this order.
  virtual ~Kvn_Channel();
  virtual void CallChannel();
  virtual void OneTimeInitialize();
  virtual void DoEvent(int event, unsigned long argument);
  virtual ChannelType GetChannelType();
  // Writes the engine's part of the channel's block; false when the saver
  // is not open or a write failed.
  virtual bool SaveChannel(KvnFileSaver& saver);
  // Reads the engine's part of the channel's block; false when it is
  // missing or damaged.
  virtual bool LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group);
  virtual void SetChannelInterfaceType(int type);
  virtual Kvn_Channel* GetChannelFromChannel(Kvn_Channel* channel, ChildInfo* info);
  virtual unsigned long GetTimeStamp();
  virtual void SetTimeStamp();
  virtual void DoDependencyInit(Kvn_List* list);
  virtual void CheckIndexNrRemoval(int index);
  virtual Kvn_Channel* GetInternalChild(int index);
  virtual void CheckPublicChannelInstanceRemoval(Kvn_Channel* channel, int index);
  virtual void AddMetaData(KvnFileSaver& saver);
  virtual void SetChannelGroup(Kvn_ChannelGroup* group);
  virtual ChannelFeedback* GetFeedbackClass();

  // Called by channels.
  void SetChannelName(const char* name);
  void SetChildCreationCount(int count);
  void SetChildCreateType(ChildCreation record, int index);
  Kvn_Channel* GetChild(int index);
  void AddDLLDepend(const char* library, Kvn_List* list);

  // The engine's own.
  const char* GetChannelName() const;
  // Slots: max(creation count, highest defined index + 1).
  int GetChildSlotCount() const;
  // The record given for slot index, or null when the slot was never defined.
  const ChildCreation* GetChildSlot(int index) const;
  // Links child (not owned) to a defined slot whose type GUID is the
  // child's; null unlinks. False for an undefined slot or another type.
  bool LinkChild(int index, Kvn_Channel* child);
  // The type record the engine made this channel from (plug-in channels),
  // returned by GetChannelType; copied.
  void SetTypeRecord(const ChannelType& record);
  int GetInterfaceType() const;
  Kvn_ChannelGroup* GetChannelGroup() const;

 private:
  Kvn_ChannelData* data_;
};

// The engine's value channel: one float.
class MESHWERK_API Kvn_ValueChannel : public Kvn_Channel {
 public:
  explicit Kvn_ValueChannel(float value = 0.0f);
  Kvn_ValueChannel(const Kvn_ValueChannel& other);
  Kvn_ValueChannel& operator=(const Kvn_ValueChannel& other);
  ~Kvn_ValueChannel() override;

  ChannelType GetChannelType() override;
  bool SaveChannel(KvnFileSaver& saver) override;
  bool LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group) override;

  // Appended after the base's operations, in this order.
  virtual float GetValue();
  virtual void SetValue(float value);

  // The engine's own: sets the value without a log line (animation).
  void Assign(float value);

 private:
  float value_;
};

// A sound stream as the engine hands it to effect channels: the audio
// library's channel handle, then one effect handle per DX8 effect type
// (0: no effect in that slot).
struct BassStream {
  uint32_t handle;
  uint32_t chorus;
  uint32_t compressor;
  uint32_t distortion;
  uint32_t echo;
  uint32_t flanger;
  uint32_t gargle;
  uint32_t parameq;
  uint32_t reverb;
};

static_assert(sizeof(BassStream) == 36, "BassStream is nine 32-bit words");
