// The `main` of a handset program: everything Linux-specific stays in the handset library, and
// the program itself starts at its WinMain as it does on the device.
#include "entry/program_runner.h"

extern int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR pszCmdLine,
                          int nCmdShow);

int main(int argc, char** argv) {
    return handset::run_program(argc, argv, &WinMain);
}
