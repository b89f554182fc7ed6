// The separator the program builds its paths with: '\' on Windows, '/' elsewhere. Reading a
// path accepts both (file-name parts are taken after the last '\', '/' or ':').
#pragma once

namespace roarmark::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace roarmark::platform
