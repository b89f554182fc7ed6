// The starter set the program carries: "Roarmark.ini", the starter layouts in "Files" and the
// preset list naming them, as text with paths relative to the data folder.
#pragma once

#include <string>
#include <vector>

namespace roarmark {

struct TStarterFile {
  const char* Path;  // relative to the data folder, '/' separated
  const char* Text;  // lines ended by LF
};

const std::vector<TStarterFile>& StarterFiles();

}  // namespace roarmark
