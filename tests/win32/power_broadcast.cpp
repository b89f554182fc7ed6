// Sends every top-level window the power notice EVENT (a PBT_ number), as Windows does around a
// sleep: 4 before the machine suspends, 18 and 7 when it resumes. Usage: power_broadcast EVENT
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  return SendNotifyMessageW(HWND_BROADCAST, WM_POWERBROADCAST,
                            static_cast<WPARAM>(std::atoi(argv[1])), 0)
             ? 0
             : 1;
}
