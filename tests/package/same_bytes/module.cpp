// A small DLL for the same-bytes check: C++ run time linked in statically,
// as the kit's modules are, and its source path recorded as a log line
// records it.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) int SourceNameLength() { return static_cast<int>(std::string(__FILE__).size()); }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
