// The sound server's sources as the wave-input device list shows them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace roarmark::platform::qt {

// One source as the sound server reports it.
struct TPulseSource {
  std::uint32_t Index = 0;  // the server's number; a source that comes back gets a new one
  std::string Name;         // the server's name, used to record from it
  std::string Description;  // what the operator sees, UTF-8
  bool Monitor = false;     // the monitor of an output: never offered as an input
  bool Default = false;     // the server's default source (the desktop's chosen microphone)
  bool Suspended = false;   // suspended by the server or the user: it delivers nothing
};

// The inputs, the server's default source first and the others in the order the server numbered
// them (so device numbers stay put while nothing changes), without monitors and without the
// inputs set aside, each named by its description cut to 31 characters.
class TPulseSourceList {
 public:
  // The whole list, as listed when connecting.
  void Replace(const std::vector<TPulseSource>& sources);
  // A source that appeared or changed.
  void Update(const TPulseSource& source);
  void Remove(std::uint32_t index);
  void Clear() { inputs_.clear(); }
  // Leaves source `index` out of the device list, or puts it back.
  void SetAside(std::uint32_t index, bool aside);
  // The source with `index`, listed or set aside; null when the server has none.
  const TPulseSource* Find(std::uint32_t index) const;

  int Count() const;
  // Device `id` of the list; null for a number not in it.
  const TPulseSource* At(int id) const;
  // The device list's name of device `id`; empty for a number not in the list.
  std::string DeviceName(int id) const;

 private:
  struct TEntry {
    TPulseSource Source;
    std::string ShortName;
    bool Aside = false;
  };
  const TEntry* Entry(int id) const;
  std::map<std::uint32_t, TEntry> inputs_;
};

}  // namespace roarmark::platform::qt
