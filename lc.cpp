#include <windows.h>
extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY32 _load_config_used = { sizeof(IMAGE_LOAD_CONFIG_DIRECTORY32) };
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0x42; }
