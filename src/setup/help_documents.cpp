// Seeding the data folder's "Help" with the documents built and installed beside the program.
#include "setup/help_documents.h"

#include <filesystem>

#include "platform/file_path.h"

namespace roarmark {

namespace fs = std::filesystem;

bool CopyHelpDocuments(const std::string& help_folder) {
  for (const char* folder : {ROARMARK_HELP_INSTALLED, ROARMARK_HELP_BUILT}) {
    std::error_code ec;
    bool found = false;
    bool copied = true;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const std::string name = platform::PathText(entry.path().filename());
      if (!entry.is_regular_file(ec) || !name.starts_with("Roarmark Help ") ||
          !name.ends_with(".pdf")) {
        continue;
      }
      found = true;
      std::error_code copy_error;
      fs::copy_file(entry.path(), platform::FilePath(help_folder) / entry.path().filename(),
                    fs::copy_options::skip_existing, copy_error);
      if (copy_error) copied = false;
    }
    if (found) return copied;  // the first folder that holds documents is the program's own
  }
  return true;
}

}  // namespace roarmark
