// The help documents that come with the program, put into the data folder at the first start.
#pragma once

#include <string>

namespace roarmark {

// Copies the program's "Roarmark Help <language>.pdf" documents into `help_folder` (which must
// exist), leaving documents already there alone; returns how many were copied. The documents
// are looked for where the program installs them, then in the build tree.
int CopyHelpDocuments(const std::string& help_folder);

}  // namespace roarmark
