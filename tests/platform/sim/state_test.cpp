// The machine's state file: atomic replacement under a lock, damaged and
// foreign files, the virtual clock.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "platform/sim/core.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class StateTest : public SimTest {};

// Number of values under the test key, or -1 when the machine cannot be read.
int CountValues(const std::filesystem::path& folder) {
  Store store(folder);
  Json s;
  std::string message;
  if (store.Read(&s, &message) != StoreError::kNone) return -1;
  const auto& node = s["registry"]["HKCU"]["k"]["Software"];
  if (!node.contains("k") || !node["k"].contains("Load")) return 0;
  return static_cast<int>(node["k"]["Load"].value("v", Json::object()).size());
}

TEST_F(StateTest, WriterKilledMidWriteLeavesAPreviousState) {
  Create();
  // A large state makes every write take a while.
  RegistryKeyPtr key;
  ASSERT_EQ(p().registry.RegCreateKeyEx(RootKey::kCurrentUser, u"Software\\Bulk", kKeyAllAccess, &key), 0u);
  Store store(folder_);
  std::string message;
  ASSERT_EQ(store.Update(
                [](Json& s) {
                  auto& v = s["registry"]["HKCU"]["k"]["Software"]["k"]["Bulk"]["v"];
                  for (int i = 0; i < 6000; ++i) v["value" + std::to_string(i)] = {{"t", 4}, {"d", "01000000"}};
                  return true;
                },
                &message),
            StoreError::kNone);
  for (int round = 0; round < 4; ++round) {
    const int before = CountValues(folder_);
    ASSERT_GE(before, 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto machine = Reopen();
      RegistryKeyPtr k;
      machine->platform().registry.RegCreateKeyEx(RootKey::kCurrentUser, u"Software\\Load", kKeyAllAccess, &k);
      for (int i = 0;; ++i) {
        std::string name = "v";
        name.append(std::to_string(round)).append("_").append(std::to_string(i));
        k->SetDword(FromUtf8(name), static_cast<std::uint32_t>(i));
      }
    }
    ::usleep(static_cast<useconds_t>(20000 + round * 23000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    // The machine opens, and holds either the old or a newer complete state.
    const int after = CountValues(folder_);
    EXPECT_GE(after, before) << "round " << round;
    auto reopened = Reopen();
    ASSERT_NE(reopened, nullptr);
    RegistryKeyPtr bulk;
    ASSERT_EQ(reopened->platform().registry.RegOpenKeyEx(RootKey::kCurrentUser, u"Software\\Bulk", kKeyRead, &bulk), 0u);
    std::uint32_t v = 0;
    EXPECT_EQ(bulk->GetDword(u"value5999", &v), 0u);
    EXPECT_EQ(v, 1u);
  }
}

TEST_F(StateTest, DamagedOrForeignStateIsReportedNotCrashed) {
  Create();
  const auto path = folder_ / kStateFileName;
  {
    std::ofstream(path, std::ios::trunc) << "{\"format\": \"kit-virtual-windows-machine\", \"version\": 1, \"sys";
  }
  std::string error;
  EXPECT_EQ(Machine::Open(folder_, {}, &error), nullptr);
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  // A machine already open fails its calls with a code instead.
  RegistryKeyPtr key;
  EXPECT_EQ(p().registry.RegOpenKeyEx(RootKey::kCurrentUser, u"Software", kKeyRead, &key), win32::kErrorInvalidData);
  EXPECT_EQ(p().files.GetFileAttributes(u"C:\\Windows"), kInvalidFileAttributes);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidData);
  {
    std::ofstream(path, std::ios::trunc) << "{\"format\": \"something else\", \"version\": 7, \"system\": {}}";
  }
  EXPECT_EQ(Machine::Open(folder_, {}, &error), nullptr);
  EXPECT_NE(error.find("not a virtual machine state"), std::string::npos) << error;
  EXPECT_EQ(Tool("show DIR"), 2);
  // Right format, but a member of the wrong kind (a hand edit).
  {
    std::ofstream(path, std::ios::trunc)
        << "{\"format\": \"kit-virtual-windows-machine\", \"version\": 1, \"system\": {\"admin\": \"yes\"}}";
  }
  EXPECT_EQ(Machine::Open(folder_, {}, &error), nullptr);
  EXPECT_EQ(Tool("show DIR"), 2);
  {
    std::ofstream(path, std::ios::trunc) << "{\"format\": \"something else\", \"version\": 7, \"system\": {}}";
  }
  std::ifstream in(path);
  const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(kept.find("something else"), std::string::npos);  // nothing overwrote the foreign file
}

// A Store answers reads from the state it parsed last while the file holds
// the same text: a change another program wrote, even one of the same size,
// is read, and an edit through a Store is not visible in its earlier copy.
TEST_F(StateTest, AStoreReadsWhatAnotherWriterChanged) {
  Create();
  Store reader(folder_), writer(folder_);
  auto set = [&](Store& store, const char* value) {
    return store.Update([&](Json& s) { s["registry"]["test"] = value; return true; }, nullptr);
  };
  auto get = [&](Store& store) {
    Json s;
    EXPECT_EQ(store.Read(&s, nullptr), StoreError::kNone);
    return s["registry"].value("test", std::string());
  };
  ASSERT_EQ(set(reader, "one"), StoreError::kNone);
  Json copy;
  ASSERT_EQ(reader.Read(&copy, nullptr), StoreError::kNone);
  copy["registry"]["test"] = "edited";
  EXPECT_EQ(get(reader), "one");
  ASSERT_EQ(set(writer, "two"), StoreError::kNone);  // same size as "one"
  EXPECT_EQ(get(reader), "two");
  ASSERT_EQ(set(reader, "three"), StoreError::kNone);
  EXPECT_EQ(get(writer), "three");
}

TEST_F(StateTest, SleepAdvancesTheVirtualClockWithoutWaiting) {
  Create();
  const auto tick = p().clock.GetTickCount64();
  const auto start = std::chrono::steady_clock::now();
  p().clock.Sleep(2500);
  p().clock.Sleep(10 * 300);
  const auto real = std::chrono::steady_clock::now() - start;
  EXPECT_LT(real, std::chrono::seconds(2));
  EXPECT_EQ(machine_->SleptMilliseconds(), 5500u);
  EXPECT_EQ(p().clock.GetTickCount64(), tick + 5500);
  const auto t = p().clock.GetLocalTime();
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 7);
  EXPECT_EQ(t.hour, 9);
  EXPECT_EQ(t.second, 5);
}

}  // namespace
}  // namespace kit::sim
