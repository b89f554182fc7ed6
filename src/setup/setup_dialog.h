// The setup dialog TForm2. It lives hidden for the program's whole life: its reference and
// decay fields are what the level engine reads on every buffer.
#pragma once

#include "core/level_engine.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"

namespace roarmark {

class TForm2 : public platform::ui::TForm, public ISetupFields {
 public:
  explicit TForm2(platform::ui::TApplication& app);

  platform::ui::TEdit Edit1;     // 0 dB reference
  platform::ui::TEdit Edit2;     // decay
  platform::ui::TLabel Label13;  // "Headroom = "
  platform::ui::TLabel Label14;  // the headroom the engine works out

  // ISetupFields
  std::string ReferenceText() const override { return Edit1.Text(); }
  void SetReferenceColour(TColor colour) override { Edit1.SetColour(colour); }
  std::string DecayText() const override { return Edit2.Text(); }
  void SetDecayColour(TColor colour) override { Edit2.SetColour(colour); }
  void SetHeadroomCaption(const std::string& caption) override { Label14.SetCaption(caption); }
};

}  // namespace roarmark
