// Seeding the data folder's "Help" with the documents built and installed beside the program.
#include "setup/help_documents.h"

#include <filesystem>

#include "platform/file_path.h"

namespace roarmark {

namespace fs = std::filesystem;

int CopyHelpDocuments(const std::string& help_folder) {
  for (const char* folder : {ROARMARK_HELP_INSTALLED, ROARMARK_HELP_BUILT}) {
    std::error_code ec;
    int copied = 0;
    bool found = false;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const std::string name = platform::PathText(entry.path().filename());
      if (!entry.is_regular_file(ec) || !name.starts_with("Roarmark Help ") ||
          !name.ends_with(".pdf")) {
        continue;
      }
      found = true;
      if (fs::copy_file(entry.path(), platform::FilePath(help_folder) / entry.path().filename(),
                        fs::copy_options::skip_existing, ec)) {
        ++copied;
      }
    }
    if (found) return copied;  // the first folder that holds documents is the program's own
  }
  return 0;
}

}  // namespace roarmark
