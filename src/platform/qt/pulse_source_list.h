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
};

// The inputs in the order the server numbered them (so device numbers stay put while nothing
// changes), without monitors, each named by its description cut to 31 characters.
class TPulseSourceList {
 public:
  // The whole list, as listed when connecting.
  void Replace(const std::vector<TPulseSource>& sources);
  // A source that appeared or changed.
  void Update(const TPulseSource& source);
  void Remove(std::uint32_t index);
  void Clear() { inputs_.clear(); }

  int Count() const { return static_cast<int>(inputs_.size()); }
  // Device `id` of the list; null for a number not in it.
  const TPulseSource* At(int id) const;
  // The device list's name of device `id`; empty for a number not in the list.
  std::string DeviceName(int id) const;

 private:
  struct TEntry {
    TPulseSource Source;
    std::string ShortName;
  };
  const TEntry* Entry(int id) const;
  std::map<std::uint32_t, TEntry> inputs_;
};

}  // namespace roarmark::platform::qt
