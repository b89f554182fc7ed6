// The user's locale as far as number formatting goes.
#pragma once

namespace roarmark::platform {

class ILocale {
 public:
  virtual ~ILocale() = default;
  virtual char DecimalSeparator() const = 0;
};

}  // namespace roarmark::platform
