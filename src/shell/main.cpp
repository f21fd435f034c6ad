// The entry point of tarnwell.exe.
#include <windows.h>

#include "shell/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return run_program(instance); }
