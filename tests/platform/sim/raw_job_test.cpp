// Raw jobs leave the machine through their port's mapping: a loopback TCP
// listener receives them byte for byte; an unreachable one leaves the job
// queued with its error.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <future>

#include "platform/sim/core.h"
#include "tests/platform/sim/sim_fixture.h"

namespace kit::sim {
namespace {

class RawJobTest : public SimTest {
 protected:
  void SetUp() override {
    Create("win7-x64-en", 64);
    AddUnidrvDriver(u"Kit Test Driver", u"kit.gpd");
    PrinterInfo2 info;
    info.printer_name = u"VRT-P80(S)";
    info.port_name = u"COM2:";
    info.driver_name = u"Kit Test Driver";
    ASSERT_TRUE(p().spooler.AddPrinter(u"", info, &printer_)) << p().system.GetLastError();
  }

  void TearDown() override {
    printer_.reset();  // handles go before their machine
    SimTest::TearDown();
  }

  // Runs the self-test job: three pieces.
  void SelfTest() {
    ASSERT_NE(printer_->StartDocPrinter({u"SELFTEST", u"", u"RAW"}), 0u);
    ASSERT_TRUE(printer_->StartPagePrinter());
    std::uint32_t written = 0;
    for (const Bytes& piece : pieces_) {
      ASSERT_TRUE(printer_->WritePrinter(piece.data(), static_cast<std::uint32_t>(piece.size()), &written));
    }
    ASSERT_TRUE(printer_->EndPagePrinter());
    ASSERT_TRUE(printer_->EndDocPrinter());
  }

  std::uint32_t JobCount() {
    PrinterInfo2 info;
    std::uint32_t needed = 0;
    EXPECT_TRUE(printer_->GetPrinter(2, &info, 1 << 16, &needed));
    return info.jobs;
  }

  PrinterHandle printer_;
  const std::vector<Bytes> pieces_ = {{0x1B, 0x63, 0x3B, 0x01}, {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02},
                                      {0x1B, 0x63, 0x3B, 0x00}};
};

TEST_F(RawJobTest, JobOnAPortMappedToALoopbackListenerArrivesByteForByte) {
  const int server = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(server, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(server, 1), 0);
  socklen_t len = sizeof address;
  ::getsockname(server, reinterpret_cast<sockaddr*>(&address), &len);
  const int port = ntohs(address.sin_port);
  auto received = std::async(std::launch::async, [server] {
    Bytes data;
    const int client = ::accept(server, nullptr, nullptr);
    std::uint8_t buffer[256];
    for (ssize_t n; (n = ::read(client, buffer, sizeof buffer)) > 0;) data.insert(data.end(), buffer, buffer + n);
    ::close(client);
    return data;
  });
  ASSERT_EQ(Tool("map-port DIR COM2: tcp:127.0.0.1:" + std::to_string(port)), 0);
  SelfTest();
  ASSERT_EQ(received.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const Bytes expected = {0x1B, 0x63, 0x3B, 0x01, 0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02, 0x1B, 0x63, 0x3B, 0x00};
  EXPECT_EQ(received.get(), expected);
  ::close(server);
  EXPECT_EQ(JobCount(), 0u);
}

TEST_F(RawJobTest, UnmappedPortKeepsTheJobWithItsPiecesInTheMachine) {
  SelfTest();
  Json s;
  ASSERT_TRUE(Store(folder_).Read(&s, nullptr) == StoreError::kNone);
  ASSERT_EQ(s["spooler"]["jobs"].size(), 1u);
  const auto& job = s["spooler"]["jobs"][0];
  EXPECT_EQ(job["document"], "SELFTEST");
  EXPECT_EQ(job["pieces"], Json::array({4, 7, 4}));
  EXPECT_EQ(job["status"], "printed");
  std::ifstream in(folder_ / job["file"].get<std::string>(), std::ios::binary);
  const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.size(), 15u);
  EXPECT_EQ(bytes[4], 0x1D);
}

TEST_F(RawJobTest, UnreachablePrinterLeavesTheJobQueuedAndDeletionPending) {
  // Port 1 on the loopback address: nothing listens there.
  ASSERT_EQ(Tool("map-port DIR COM2: tcp:127.0.0.1:1"), 0);
  SelfTest();
  EXPECT_EQ(JobCount(), 1u);
  Json s;
  ASSERT_TRUE(Store(folder_).Read(&s, nullptr) == StoreError::kNone);
  EXPECT_EQ(s["spooler"]["jobs"][0]["status"], "error");
  EXPECT_NE(s["spooler"]["jobs"][0].value("error", std::string()).find("127.0.0.1:1"), std::string::npos);
  // A printer with a queued job is kept until the job is gone.
  ASSERT_TRUE(printer_->DeletePrinter());
  printer_->ClosePrinter();
  PrinterHandle again;
  ASSERT_TRUE(p().spooler.OpenPrinter(u"VRT-P80(S)", {}, &again));
  p().system.SetLastError(0);
  EXPECT_EQ(again->StartDocPrinter({u"LOGO", u"", u"RAW"}), 0u);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorPrinterDeleted);
}

TEST_F(RawJobTest, NonRawDatatypeAndStoppedSpoolerAreRefused) {
  p().system.SetLastError(0);
  EXPECT_EQ(printer_->StartDocPrinter({u"X", u"", u"XPS_PASS"}), 0u);
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidDatatype);
  ServiceManagerHandle scm;
  ServiceHandle spooler;
  ASSERT_TRUE(p().services.OpenSCManager(kScManagerAllAccess, &scm));
  ASSERT_TRUE(scm->OpenService(kSpoolerServiceName, kServiceAllAccess, &spooler));
  ServiceStatus status;
  ASSERT_TRUE(spooler->ControlService(kServiceControlStop, &status));
  PrinterHandle other;
  p().system.SetLastError(0);
  EXPECT_FALSE(p().spooler.OpenPrinter(u"VRT-P80(S)", {}, &other));
  EXPECT_EQ(p().system.GetLastError(), win32::kRpcServerUnavailable);
  ASSERT_TRUE(spooler->StartService());
  // Handles from before the restart are stale.
  PrinterInfo2 info;
  std::uint32_t needed = 0;
  p().system.SetLastError(0);
  EXPECT_FALSE(printer_->GetPrinter(2, &info, 1 << 16, &needed));
  EXPECT_EQ(p().system.GetLastError(), win32::kErrorInvalidHandle);
  EXPECT_TRUE(p().spooler.OpenPrinter(u"VRT-P80(S)", {}, &other));
}

}  // namespace
}  // namespace kit::sim
