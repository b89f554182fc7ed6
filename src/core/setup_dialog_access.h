// What the main window asks of the setup dialog. The dialog lives in its own library and knows
// the main window; the main window knows it only through this.
#pragma once

#include "core/level_engine.h"

namespace roarmark {

class ISetupDialog : public ISetupFields {
 public:
  // Fills the dialog from the settings, runs it modally, applies the result and re-lays out the
  // display; returns once the dialog has closed.
  virtual void ShowSetupDialog() = 0;
  // Opens the help document of the current language, or says why it cannot.
  virtual void OpenHelpFile() = 0;
  // Puts the stored reference and decay texts into the fields the engine reads.
  virtual void ShowStoredTexts(const std::string& calibration, const std::string& decay) = 0;
  // After a settings file has been applied: the style is selected and the size arrows take the
  // style's steps, then the layout controls show the record again (their change handlers run as
  // when the dialog is filled, so an arrow whose field changed has the step of a change).
  virtual void ShowLayoutSettings() = 0;
  // Steps of the width and height arrows from the meter style.
  virtual void ApplyBaseSteps() = 0;
};

}  // namespace roarmark
