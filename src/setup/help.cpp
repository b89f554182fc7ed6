// The help document of the current language, opened by the Help button and by F1.
#include "core/main_window.h"
#include "settings/paths.h"
#include "setup/captions.h"
#include "setup/setup_dialog.h"

namespace roarmark {

void TForm2::OpenHelpFile() {
  const std::string path =
      main_.DataFolder + "Help" + kPathSeparator + HelpFileName(main_.Settings.Language);
  if (!FileExists(path)) {
    main_.ShowMessage(kCaptionRoarmarkError, "Help file not found - " + path);
    return;
  }
  if (main_.Platform().Shell->OpenDocument(path) <= 32) {
    main_.ShowMessage(kCaptionRoarmarkError,
                      "Unable to show Help - " + path + " - Is Acrobat Reader installed?");
  }
}

}  // namespace roarmark
