#include "tests/platform/sim/sim_fixture.h"

#include <unistd.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/sim/presets.h"

namespace kit::sim {

void SimTest::Create(const std::string& preset, int bits, bool administrator) {
  // In the temporary folder the run names (TMPDIR): the test runs keep
  // their machines on a RAM file system where there is one.
  std::string pattern = (std::filesystem::temp_directory_path() / "kit-sim-test-XXXXXX").string();
  folder_ = ::mkdtemp(pattern.data());
  std::string error;
  ASSERT_TRUE(CreateMachine(folder_, preset, administrator, &error)) << error;
  machine_ = Reopen(bits);
  ASSERT_NE(machine_, nullptr);
}

std::unique_ptr<Machine> SimTest::Reopen(int bits) {
  ProcessOptions process;
  process.bits = bits;
  process.module_path = u"C:\\kit\\kitsetup.exe";
  std::string error;
  auto machine = Machine::Open(folder_, process, &error);
  EXPECT_NE(machine, nullptr) << error;
  return machine;
}

void SimTest::PutModule(const WString& windows_path, const std::filesystem::path& module) {
  std::ifstream in(module, std::ios::binary);
  const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_GT(bytes.size(), 64u) << module;
  ASSERT_TRUE(p().files.WriteFile(windows_path, bytes, WriteMode::kCreateAlways)) << ToUtf8(windows_path);
}

void SimTest::AddUnidrvDriver(const WString& name, const WString& data_file, const WString& monitor) {
  WString drivers;
  ASSERT_TRUE(p().spooler.GetPrinterDriverDirectory(u"", u"", &drivers));
  for (const WString& f : {WString(u"unidrv.dll"), data_file, WString(u"unidrvui.dll")}) {
    ASSERT_TRUE(p().files.WriteFile(drivers + u"\\" + f, Bytes{'M', 'Z'}, WriteMode::kCreateAlways));
  }
  DriverInfo3 d;
  d.name = name;
  d.driver_path = u"unidrv.dll";
  d.data_file = data_file;
  d.config_file = u"unidrvui.dll";
  d.monitor_name = monitor;
  ASSERT_TRUE(p().spooler.AddPrinterDriver(u"", d)) << p().system.GetLastError();
}

void SimTest::TearDown() {
  machine_.reset();
  if (!folder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
}

namespace {

// The tool's command line: "DIR" in the arguments stands for the machine's
// folder.
std::string ToolLine(const std::filesystem::path& folder, const std::string& arguments) {
  std::string args = arguments;
  for (std::size_t pos = args.find("DIR"); pos != std::string::npos; pos = args.find("DIR", pos)) {
    std::string quoted = "'";
    quoted.append(folder.string()).append("'");
    args.replace(pos, 3, quoted);
    pos += folder.string().size() + 2;
  }
  return std::string(KIT_VMACHINE_PATH) + " " + args;
}

}  // namespace

int SimTest::Tool(const std::string& arguments) {
  const int status = std::system((ToolLine(folder_, arguments) + " > /dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SimTest::ToolOutput(const std::string& arguments) {
  std::string out;
  FILE* pipe = ::popen((ToolLine(folder_, arguments) + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

}  // namespace kit::sim
