// Test rig: a fresh audio-library stand-in, one stream, and value channels
// linked to a channel's child slots, as the engine links them.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bass/bass_probe.h"
#include "meshwerk/channel.h"

class StreamRig {
 public:
  StreamRig() {
    BassProbe_Reset();
    stream_.handle = BASS_StreamCreate(44100, 2, 0, nullptr, nullptr);
    mark_ = BassProbe_CallCount();
  }

  BassStream* stream() { return &stream_; }

  // Links a value channel holding values[i] to slot i of channel.
  void Attach(Kvn_Channel& channel, const std::vector<float>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
      children_.push_back(std::make_unique<Kvn_ValueChannel>(values[i]));
      if (!channel.LinkChild(static_cast<int>(i), children_.back().get())) throw std::runtime_error("LinkChild failed");
    }
  }
  Kvn_ValueChannel& child(size_t i) { return *children_.at(i); }

  // The functions called since the last Mark (or the rig's start).
  std::vector<int> Calls() const {
    std::vector<int> out;
    for (DWORD i = mark_; i < BassProbe_CallCount(); ++i) {
      BassProbeCall call;
      if (BassProbe_GetCall(i, &call)) out.push_back(call.function);
    }
    return out;
  }
  BassProbeCall LastCall(int function) const {
    BassProbeCall found{};
    for (DWORD i = mark_; i < BassProbe_CallCount(); ++i) {
      BassProbeCall call;
      if (BassProbe_GetCall(i, &call) && call.function == function) found = call;
    }
    return found;
  }
  void Mark() { mark_ = BassProbe_CallCount(); }

 private:
  BassStream stream_{};
  DWORD mark_ = 0;
  std::vector<std::unique_ptr<Kvn_ValueChannel>> children_;
};

// The calls of one applied change: remove the old effect (when the slot
// held one), create the new one, set its parameters.
inline const std::vector<int> kReapply = {kBassChannelRemoveFX, kBassChannelSetFX, kBassFXSetParameters};
inline const std::vector<int> kFirstApply = {kBassChannelSetFX, kBassFXSetParameters};
inline const std::vector<int> kNoCalls = {};
