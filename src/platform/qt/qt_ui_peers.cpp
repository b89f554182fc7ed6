// The native counterpart of each control: the kinds live in files of their own.
#include "platform/qt/qt_ui_peers.h"

#include "platform/qt/qt_peer_kinds.h"

namespace roarmark::platform::qt {

using namespace ui;

std::unique_ptr<IControlPeer> CreateQtPeer(TQtUiBackend& backend, TControl& control) {
  if (auto* form = dynamic_cast<TForm*>(&control))
    return std::make_unique<TFormPeer>(backend, *form);
  for (auto create :
       {CreateImagePeer, CreateEditPeer, CreateButtonPeer, CreateRangePeer, CreatePaintedPeer}) {
    if (auto peer = create(backend, control)) return peer;
  }
  return nullptr;
}

}  // namespace roarmark::platform::qt
