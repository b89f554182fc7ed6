// Every seam on Qt in one object; needs a QApplication to exist first.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace roarmark::platform::qt {

class TQtUiBackend;

class TQtPlatform {
 public:
  TQtPlatform();
  ~TQtPlatform();
  TQtPlatform(const TQtPlatform&) = delete;
  TQtPlatform& operator=(const TQtPlatform&) = delete;

  const TPlatform& Platform() const { return platform_; }
  TQtUiBackend& Ui();

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
  TPlatform platform_;
};

}  // namespace roarmark::platform::qt
