// The preset list window TForm3.
#pragma once

#include "platform/ui/application.h"
#include "platform/ui/form.h"

namespace roarmark {

class TForm3 : public platform::ui::TForm {
 public:
  explicit TForm3(platform::ui::TApplication& app);
};

}  // namespace roarmark
