// The sound server's sources as the wave-input device list shows them.
#include "platform/qt/pulse_source_list.h"

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
  if (source.Default) {
    for (auto& [index, entry] : inputs_)
      entry.Source.Default = false;
  }
  const auto before = inputs_.find(source.Index);
  const bool aside = before != inputs_.end() && before->second.Aside;
  inputs_[source.Index] =
      TEntry{source, ShortDeviceName(std::string_view(source.Description)), aside};
}

void TPulseSourceList::Remove(std::uint32_t index) {
  inputs_.erase(index);
}

void TPulseSourceList::SetAside(std::uint32_t index, bool aside) {
  if (auto it = inputs_.find(index); it != inputs_.end()) it->second.Aside = aside;
}

const TPulseSource* TPulseSourceList::Find(std::uint32_t index) const {
  const auto it = inputs_.find(index);
  return it == inputs_.end() ? nullptr : &it->second.Source;
}

int TPulseSourceList::Count() const {
  int count = 0;
  for (const auto& [index, entry] : inputs_)
    count += entry.Aside ? 0 : 1;
  return count;
}

const TPulseSourceList::TEntry* TPulseSourceList::Entry(int id) const {
  if (id < 0) return nullptr;
  const TEntry* first = nullptr;
  for (const auto& [index, entry] : inputs_) {
    if (!entry.Aside && entry.Source.Default) first = &entry;
  }
  if (first && id == 0) return first;
  int at = first ? 1 : 0;
  for (const auto& [index, entry] : inputs_) {
    if (entry.Aside || &entry == first) continue;
    if (at++ == id) return &entry;
  }
  return nullptr;
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
