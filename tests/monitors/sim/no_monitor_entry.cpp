// A module that loads but is no port monitor: it lacks InitializePrintMonitor2.
extern "C" __attribute__((visibility("default"))) int KitTestModuleVersion() { return 1; }
