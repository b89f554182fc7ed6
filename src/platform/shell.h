// The desktop shell: the common application data folder and opening documents and addresses.
#pragma once

#include <string>

namespace roarmark::platform {

class IShell {
 public:
  virtual ~IShell() = default;
  // The common (all users) application data folder without a trailing separator; empty when the
  // platform cannot tell.
  virtual std::string CommonAppDataFolder() = 0;
  // Opens a document or a web address with the associated program. As with the Windows shell,
  // a result of 32 or less means failure.
  virtual int OpenDocument(const std::string& path) = 0;
};

}  // namespace roarmark::platform
