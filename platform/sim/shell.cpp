// Shell and windows of the virtual machine: program starts are recorded
// (and run when the machine maps the program to a Linux executable);
// top-level windows and named mutexes belong to a process and vanish with
// it, even when it is killed.
//
// A started program runs in real time while the starter's clock is virtual:
// a pause of the starter costs nothing, so it could look for the program's
// window before the program has had a chance to show it. A process's looks
// for windows therefore first wait until every program it started has shown
// a window or ended, as a Windows program's look after its pause would find
// the started program's window.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>

#include "platform/pe/pe_resources.h"
#include "platform/sim/core.h"

extern char** environ;

namespace kit::sim {
namespace {

// How long a real process waits between two looks at another's window.
constexpr int kPollRealMilliseconds = 20;

bool ProcessAlive(std::uint64_t pid) {
  if (pid == 0) return false;
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno == EPERM;
}

// Drops windows and mutex handles of processes that have ended.
void PruneDead(Json& s) {
  for (const char* list : {"windows", "mutexes"}) {
    Json kept = Json::array();
    for (const auto& e : s.value(list, Json::array())) {
      if (ProcessAlive(e.value("pid", std::uint64_t{0}))) kept.push_back(e);
    }
    s[list] = kept;
  }
}

// Splits a Windows command line into arguments (quotes group, no escapes
// beyond doubled backslashes before a quote).
std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> out;
  std::string current;
  bool quoted = false, any = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any || !current.empty()) out.push_back(current);
      current.clear();
      any = false;
    } else {
      current.push_back(c);
    }
  }
  if (any || !current.empty()) out.push_back(current);
  return out;
}

class SimWindow final : public TopLevelWindow {
 public:
  SimWindow(Core& core, WindowHandle id) : core_(core), id_(id) {}
  ~SimWindow() override {
    core_.Update([&](Json& s) {
      auto& list = s["windows"];
      for (auto it = list.begin(); it != list.end(); ++it) {
        if ((*it).value("id", WindowHandle{0}) == id_) {
          list.erase(it);
          break;
        }
      }
      return true;
    });
  }
  WindowHandle Handle() const override { return id_; }
  void SetTitle(WStringView title) override {
    core_.Update([&](Json& s) {
      for (auto& w : s["windows"]) {
        if (w.value("id", WindowHandle{0}) == id_) w["title"] = U8(title);
      }
      return true;
    });
  }

 private:
  Core& core_;
  WindowHandle id_;
};

class SimMutex final : public NamedMutex {
 public:
  SimMutex(Core& core, std::uint64_t id) : core_(core), id_(id) {}
  ~SimMutex() override {
    core_.Update([&](Json& s) {
      auto& list = s["mutexes"];
      for (auto it = list.begin(); it != list.end(); ++it) {
        if ((*it).value("id", std::uint64_t{0}) == id_) {
          list.erase(it);
          break;
        }
      }
      return true;
    });
  }

 private:
  Core& core_;
  std::uint64_t id_;
};

class SimShell final : public Shell {
 public:
  SimShell(Core& core, Clock& clock) : core_(core), clock_(clock) {}

  std::uintptr_t ShellExecute(const ShellExecuteRequest& request) override {
    std::uintptr_t result = 0;
    std::string program;
    WString module;
    int bits = 32;
    core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "ShellExecute", request.file)) {
        result = *f <= kShellExecuteErrorLimit ? *f : kSeErrAccessDenied;
        return true;
      }
      ResolvedPath r;
      if (!core_.Resolve(s, request.file, true, &r)) {
        result = kSeErrPathNotFound;
        return false;
      }
      std::error_code ec;
      if (!std::filesystem::is_regular_file(r.host, ec)) {
        result = std::filesystem::is_directory(r.host.parent_path(), ec) ? kSeErrFileNotFound : kSeErrPathNotFound;
        return false;
      }
      module = r.windows;
      bits = ImageBits(s, r.host);
      // A program mapped to a Linux executable is run; any other is only
      // recorded as started.
      const Json programs = s.value("programs", Json::object());
      for (const auto& [k, v] : programs.items()) {
        const WString name = FromUtf8(k);
        if (EqualsNoCase(name, r.windows) || EqualsNoCase(name, r.windows.substr(r.windows.find_last_of(u'\\') + 1))) {
          program = v.get<std::string>();
        }
      }
      s["launches"].push_back({{"verb", U8(request.verb)},
                               {"file", U8(r.windows)},
                               {"parameters", U8(request.parameters)},
                               {"directory", U8(request.directory)},
                               {"show", request.show_command},
                               {"run", program}});
      result = 42;
      return true;
    });
    if (result > kShellExecuteErrorLimit && !program.empty()) Spawn(program, module, request, bits);
    return result;
  }

  WindowHandle FindWindow(WStringView title) override {
    WaitForStartedPrograms();
    WindowHandle found = 0;
    core_.Update([&](Json& s) {
      PruneDead(s);
      for (const auto& w : s["windows"]) {
        if (EqualsNoCase(JsonText(w, "title"), title)) {  // Windows ignores case here
          found = w.value("id", WindowHandle{0});
          break;
        }
      }
      return true;
    });
    return found;
  }

  WindowHandle FindWindowEx(WindowHandle after, WStringView title) override {
    WaitForStartedPrograms();
    WindowHandle found = 0;
    core_.Update([&](Json& s) {
      PruneDead(s);
      bool past = after == 0;
      for (const auto& w : s["windows"]) {
        const WindowHandle id = w.value("id", WindowHandle{0});
        if (!past) {
          past = id == after;
          continue;
        }
        if (EqualsNoCase(JsonText(w, "title"), title)) {
          found = id;
          break;
        }
      }
      return true;
    });
    return found;
  }

  bool IsWindow(WindowHandle window) override { return WithWindow(window, [](Json&) { return true; }); }
  bool IsIconic(WindowHandle window) override {
    bool iconic = false;
    WithWindow(window, [&](Json& w) {
      iconic = w.value("iconic", false);
      return true;
    });
    return iconic;
  }
  bool SetForegroundWindow(WindowHandle window) override {
    return WithWindow(window, [&](Json& w) {
      w["foreground_requests"] = w.value("foreground_requests", 0) + 1;
      return true;
    });
  }
  bool ShowWindow(WindowHandle window, int command) override {
    return WithWindow(window, [&](Json& w) {
      if (command == kSwRestore || command == kSwShowNormal) w["iconic"] = false;
      if (command == kSwShowMinimized) w["iconic"] = true;
      w["last_show"] = command;
      return true;
    });
  }

  bool WaitWhileWindowExists(WStringView title, std::uint32_t poll_milliseconds, std::uint32_t max_polls) override {
    for (std::uint32_t polls = 0; max_polls == 0 || polls < max_polls; ++polls) {
      if (FindWindow(title) == 0) return true;
      clock_.Sleep(poll_milliseconds);
      // The other program runs in real time: give it a moment.
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollRealMilliseconds));
    }
    return FindWindow(title) == 0;
  }

  TopLevelWindowHandle AnnounceWindow(WStringView title) override {
    WindowHandle id = 0;
    core_.Update([&](Json& s) {
      PruneDead(s);
      id = s.value("next_window", WindowHandle{0x10010});
      s["next_window"] = id + 0x10;
      s["windows"].push_back({{"id", id}, {"title", U8(title)}, {"pid", core_.ProcessId()}, {"iconic", false}});
      return true;
    });
    if (id == 0) return nullptr;
    return std::make_unique<SimWindow>(core_, id);
  }

  NamedMutexHandle CreateMutex(WStringView name, bool) override {
    std::uint64_t id = 0;
    bool existed = false;
    const bool ok = core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "CreateMutex", name)) return Core::Fail(*f);
      PruneDead(s);
      for (const auto& m : s["mutexes"]) existed = existed || JsonText(m, "name") == name;  // names are case-sensitive
      id = s.value("next_mutex", std::uint64_t{1});
      s["next_mutex"] = id + 1;
      s["mutexes"].push_back({{"id", id}, {"name", U8(name)}, {"pid", core_.ProcessId()}});
      return true;
    });
    if (!ok) return nullptr;
    Core::SetLastError(existed ? win32::kErrorAlreadyExists : win32::kErrorSuccess);
    return std::make_unique<SimMutex>(core_, id);
  }

  bool BroadcastSettingChange(WStringView section, std::uint32_t timeout_milliseconds) override {
    return core_.Update([&](Json& s) {
      s["broadcasts"].push_back({{"section", U8(section)}, {"timeout", timeout_milliseconds}});
      return true;
    });
  }

  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
    return core_.Update([&](Json& s) {
      if (auto f = Core::TakeFault(s, "ExitWindowsEx")) return Core::Fail(*f);
      s["restarts"].push_back({{"flags", flags}, {"reason", reason}});
      return true;
    });
  }

 private:
  template <typename F>
  bool WithWindow(WindowHandle window, F&& f) {
    return core_.Update([&](Json& s) {
      PruneDead(s);
      for (auto& w : s["windows"]) {
        if (w.value("id", WindowHandle{0}) == window) return f(w);
      }
      return Core::Fail(win32::kErrorInvalidWindowHandle);
    });
  }

  // The bitness a started program runs with: its image's, or for a file
  // that is no Windows image (a Linux program laid into the kit in its
  // place) the machine's own, as the kit starts the build of the system's
  // bitness.
  static int ImageBits(const Json& s, const std::filesystem::path& host) {
    constexpr std::size_t kHeaderBytes = 4096;
    std::ifstream in(host, std::ios::binary);
    Bytes head(kHeaderBytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    std::uint16_t machine = 0;
    if (ReadPeMachine(head.data(), head.size(), &machine)) return machine == kPeMachineAmd64 ? 64 : 32;
    return Core::Is64BitMachine(s) ? 64 : 32;
  }

  void Spawn(const std::string& program, const WString& module, const ShellExecuteRequest& request, int bits) {
    const std::string command_line = "\"" + U8(module) + "\" " + U8(request.parameters);
    std::vector<std::string> args = {program};
    for (auto& a : SplitArguments(U8(request.parameters))) args.push_back(a);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      if (entry.rfind("KIT_SIM_", 0) != 0) env.push_back(entry);
    }
    env.push_back(std::string(kEnvMachine) + "=" + core_.store().Folder().string());
    env.push_back(std::string(kEnvModulePath) + "=" + U8(module));
    env.push_back(std::string(kEnvCommandLine) + "=" + command_line);
    env.push_back(std::string(kEnvProcessBits) + "=" + std::to_string(bits));
    if (!request.directory.empty()) env.push_back(std::string(kEnvCurrentDirectory) + "=" + U8(request.directory));
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) == 0) {
      auto ended = std::make_shared<std::atomic<bool>>(false);
      {
        std::lock_guard<std::mutex> lock(starting_mutex_);
        starting_.push_back({static_cast<std::uint64_t>(pid), ended});
      }
      // Reap the child in the background so it never lingers as a zombie.
      std::thread([pid, ended] {
        int status = 0;
        ::waitpid(pid, &status, 0);
        ended->store(true);
      }).detach();
    }
  }

  // Returns once every program this process started has shown a top-level
  // window or ended; a program that has done either is not waited for again.
  void WaitForStartedPrograms() {
    for (;;) {
      std::vector<StartingProgram> pending;
      {
        std::lock_guard<std::mutex> lock(starting_mutex_);
        pending = starting_;
      }
      if (pending.empty()) return;
      Json s;
      const bool read = core_.Read(&s);
      std::vector<std::uint64_t> settled;
      for (const auto& program : pending) {
        bool shown = false;
        if (read) {
          for (const auto& w : s.value("windows", Json::array())) {
            shown = shown || w.value("pid", std::uint64_t{0}) == program.pid;
          }
        }
        // An unreadable state shows no window: only the program's end counts.
        if (shown || program.ended->load()) settled.push_back(program.pid);
      }
      {
        std::lock_guard<std::mutex> lock(starting_mutex_);
        starting_.erase(std::remove_if(starting_.begin(), starting_.end(),
                                       [&](const StartingProgram& p) {
                                         return std::find(settled.begin(), settled.end(), p.pid) != settled.end();
                                       }),
                        starting_.end());
        if (starting_.empty()) return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollRealMilliseconds));
    }
  }

  // A started program that has neither shown a window nor ended yet.
  struct StartingProgram {
    std::uint64_t pid = 0;
    std::shared_ptr<std::atomic<bool>> ended;
  };

  Core& core_;
  Clock& clock_;
  std::mutex starting_mutex_;
  std::vector<StartingProgram> starting_;
};

}  // namespace

std::unique_ptr<Shell> MakeShell(Core& core, Clock& clock) { return std::make_unique<SimShell>(core, clock); }

}  // namespace kit::sim
