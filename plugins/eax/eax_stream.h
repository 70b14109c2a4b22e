// The EAX channel: selects one of the EAX environment presets by index and
// applies it with the stream's EAX mix at 1.0. No DX8 effect, no effect slot;
// the index is saved under "EAXE"; failures go to the engine's debug messages.
#pragma once

#include "effect_frame.h"

class KVC_EXPORT Kvc_EAXStream : public Kvn_Channel {
 public:
  static const kvc::EffectInfo kInfo;
  static const char* const kFailureMessage;

  Kvc_EAXStream();
  Kvc_EAXStream(const Kvc_EAXStream& other);
  Kvc_EAXStream& operator=(const Kvc_EAXStream& other);
  ~Kvc_EAXStream() override;

  void CallChannel() override;
  bool SaveChannel(KvnFileSaver& saver) override;
  bool LoadChannel(KvnFileLoader& loader, Kvn_ChannelGroup* group) override;
  void DoDependencyInit(Kvn_List* list) override;

  virtual bool hasChanged();
  virtual void SetEaxEffect(BassStream* stream);

  void RefreshParms();
  void setEffect(float value);

  // The text shown for an audio-library error code.
  static const char* ErrorText(int code);

  int32_t EffectIndex() const { return effectIndex_; }
  bool ChangePending() const { return changed_; }

 private:
  bool Apply(DWORD handle);

  int32_t effectIndex_;
  bool changed_;
};
