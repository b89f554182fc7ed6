// The help documents that come with the program, put into the data folder at the first start.
#pragma once

#include <string>

namespace roarmark {

// Copies the program's "Roarmark Help <language>.pdf" documents into `help_folder` (which must
// exist), leaving documents already there alone; false when one could not be copied (none to
// copy is no failure). The documents are looked for where the program installs them, then in
// the build tree.
bool CopyHelpDocuments(const std::string& help_folder);

}  // namespace roarmark
