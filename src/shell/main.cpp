// The entry point of tarnwell.exe.
#include <windows.h>

#include "shell/process.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return run_process(instance); }
