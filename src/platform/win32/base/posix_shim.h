// The few POSIX calls that shared code of the program uses and mingw-w64 lacks, given to those
// targets on Windows only (forced include from the build).
#pragma once

#ifdef _WIN32
extern "C" char* mkdtemp(char* pattern);
#endif
