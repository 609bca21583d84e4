// Reads (or, with "set N", first writes) the screen-saver-active setting in
// a process of its own and prints "active=N". A process reads the setting
// once and keeps it, so each reading must be a fresh process.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <windows.h>

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "set") == 0) {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(std::atoi(argv[2])), nullptr,
                          SPIF_SENDCHANGE);
  }
  BOOL active = -1;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return 2;
  std::printf("active=%d\n", active);
  return 0;
}
