// The sound server's sources as the wave-input device list shows them.
#include "platform/qt/pulse_source_list.h"

#include <iterator>

#include "platform/qt/device_names.h"

namespace roarmark::platform::qt {

void TPulseSourceList::Replace(const std::vector<TPulseSource>& sources) {
  inputs_.clear();
  for (const TPulseSource& source : sources)
    Update(source);
}

void TPulseSourceList::Update(const TPulseSource& source) {
  // A monitor plays back an output; it is no input for the meter.
  if (source.Monitor) {
    inputs_.erase(source.Index);
    return;
  }
  inputs_[source.Index] = TEntry{source, ShortDeviceName(std::string_view(source.Description))};
}

void TPulseSourceList::Remove(std::uint32_t index) {
  inputs_.erase(index);
}

const TPulseSourceList::TEntry* TPulseSourceList::Entry(int id) const {
  if (id < 0 || id >= Count()) return nullptr;
  return &std::next(inputs_.begin(), id)->second;
}

const TPulseSource* TPulseSourceList::At(int id) const {
  const TEntry* entry = Entry(id);
  return entry ? &entry->Source : nullptr;
}

std::string TPulseSourceList::DeviceName(int id) const {
  const TEntry* entry = Entry(id);
  return entry ? entry->ShortName : std::string();
}

}  // namespace roarmark::platform::qt
