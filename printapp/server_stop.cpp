#include "printapp/server_stop.h"

#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <ctime>
#include <iterator>

namespace kit::printapp {
namespace {

// The signals PAPPL's main loop takes as a stop.
constexpr int kStopSignals[] = {SIGTERM, SIGINT};

// Set once a stop is asked for. A plain int, as libcups polls its connect
// cancel flag; written only with an atomic store.
int g_cancel_connect = 0;
std::atomic<bool> g_stopping{false};
pappl_system_t* g_system = nullptr;
pthread_t g_main_loop_thread;
std::atomic<bool> g_main_loop_known{false};
std::atomic<bool> g_main_loop_woken{false};
struct sigaction g_library_handlers[std::size(kStopSignals)];

void MarkStopping() {
  g_stopping.store(true);
  __atomic_store_n(&g_cancel_connect, 1, __ATOMIC_SEQ_CST);
}

// Marks the stop, then hands the signal on to PAPPL's own handler.
void OnStopSignal(int signal_number) {
  MarkStopping();
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    if (kStopSignals[i] != signal_number) continue;
    const auto handler = g_library_handlers[i].sa_handler;
    if (handler != SIG_DFL && handler != SIG_IGN && handler != nullptr) handler(signal_number);
  }
}

// PAPPL's main loop sets its signal handlers as it starts; ours go in
// front of them once it runs.
bool WrapSignalHandlers(pappl_system_t* system, void* data) {
  (void)system, (void)data;
  g_main_loop_thread = pthread_self();  // timers run on the main loop's thread
  g_main_loop_known.store(true);
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    struct sigaction ours {};
    ours.sa_handler = OnStopSignal;
    sigemptyset(&ours.sa_mask);
    sigaction(kStopSignals[i], &ours, &g_library_handlers[i]);
  }
  return false;  // once
}

// PAPPL's main loop notices Shutdown-System only when it next wakes (up to
// 30 s), a stop signal at once and then every second: once the shutdown
// is seen (its answer sent, or a waiting job asks whether the system
// runs), the main loop is sent the stop signal as well.
void WakeMainLoop() {
  if (g_main_loop_known.load() && !g_main_loop_woken.exchange(true)) pthread_kill(g_main_loop_thread, SIGTERM);
}

}  // namespace

void WatchForStop(pappl_system_t* system) {
  g_system = system;
  papplSystemAddTimerCallback(system, time(nullptr), 0, WrapSignalHandlers, nullptr);
}

}  // namespace kit::printapp

// PAPPL's library calls the three functions below by their exported names,
// so the program's own definitions come first; each calls the library's
// own one.

// A system that is stopping is no longer running for the jobs that wait
// for their device (PAPPL 1.3's job start asks this between its tries);
// PAPPL's main loop itself ends as before. Shutdown-System (`kvprinter
// shutdown`) marks the system itself, seen here. (No timer looks for it:
// a timer that wakes the main loop every second makes PAPPL save its
// state, a printing job's too, every second.)
extern "C" bool papplSystemIsRunning(pappl_system_t* system) {
  using IsRunning = bool (*)(pappl_system_t*);
  static const auto library = reinterpret_cast<IsRunning>(dlsym(RTLD_NEXT, "papplSystemIsRunning"));
  const bool running = library(system);
  if (!running || !system || system != kit::printapp::g_system) return running;
  // Asked only of a running system: before its main loop runs, PAPPL
  // counts a system as shut down.
  if (papplSystemIsShutdown(system)) {
    kit::printapp::MarkStopping();
    kit::printapp::WakeMainLoop();
  }
  return !kit::printapp::g_stopping.load();
}

// Shutdown-System (`kvprinter shutdown`) accepted: once its answer has
// been sent, the system stops as for the stop signal, and PAPPL's main
// loop is woken with that signal (it noticed the shutdown only at its next
// wake-up, up to 30 s later, when no job was waiting to see it).
extern "C" bool _papplClientProcessIPP(pappl_client_t* client) {
  using Process = bool (*)(pappl_client_t*);
  static const auto library = reinterpret_cast<Process>(dlsym(RTLD_NEXT, "_papplClientProcessIPP"));
  ipp_t* request = papplClientGetRequest(client);
  const bool shutdown = request && ippGetOperation(request) == IPP_OP_SHUTDOWN_ALL_PRINTERS;
  const bool answered = library(client);
  pappl_system_t* system = papplClientGetSystem(client);
  if (shutdown && system && system == kit::printapp::g_system && papplSystemIsShutdown(system)) {
    kit::printapp::MarkStopping();
    kit::printapp::WakeMainLoop();
  }
  return answered;
}

// A connection without a cancel flag of its own (PAPPL's network device
// waits up to 30 s for a printer that does not answer) is given up when a
// stop is asked for.
extern "C" http_addrlist_t* httpAddrConnect2(http_addrlist_t* addrlist, int* sock, int msec, int* cancel) {
  using Connect = http_addrlist_t* (*)(http_addrlist_t*, int*, int, int*);
  static const auto library = reinterpret_cast<Connect>(dlsym(RTLD_NEXT, "httpAddrConnect2"));
  return library(addrlist, sock, msec, cancel ? cancel : &kit::printapp::g_cancel_connect);
}
