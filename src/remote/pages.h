// The pages the server serves, carried in the program: nothing is ever read from disk for them.
#pragma once

#include <string_view>

namespace roarmark {

struct TPage {
  std::string_view Path;  // "/overlay", "/remote", "/assets/feed.js" ...
  std::string_view ContentType;
  std::string_view Body;
};

// The page at `path`, or null.
const TPage* FindPage(std::string_view path);

}  // namespace roarmark
