// A first start on a fresh machine: the data folder laid out with the starter set.
#pragma once

namespace roarmark {

class TForm1;

// Creates the data folder of `form` with the default pictures, the starter layouts and their
// thumbnails, and the help documents; a data folder that exists is never touched.
void EnsureDataFolder(TForm1& form);

}  // namespace roarmark
