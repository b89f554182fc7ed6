// The input-loss dialog TForm5, shown while the program waits for a lost input device.
#pragma once

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace roarmark {

class TForm5 : public platform::ui::TForm {
 public:
  explicit TForm5(platform::ui::TApplication& app);

  platform::ui::TMemo Memo1;
  platform::ui::TButton Button1;  // "CLOSE NOW"
  platform::ui::TProgressBar ProgressBar1;
};

}  // namespace roarmark
