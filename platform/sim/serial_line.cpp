#include "platform/sim/serial_line.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/sim/delivery.h"
#include "platform/sim/fd_io.h"

namespace kit::sim {
namespace {

// The open port: a file descriptor to a capture file, a device node or a
// socket.
class FdLine final : public SerialLine {
 public:
  FdLine(int fd, bool socket, std::string target) : fd_(fd), socket_(socket), target_(std::move(target)) {}
  ~FdLine() override {
    if (socket_) ::shutdown(fd_, SHUT_WR);
    ::close(fd_);
  }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t size) override {
    std::string error;
    const bool ok = socket_ ? SendOnSocket(fd_, data, size, target_, &error) : WriteAll(fd_, data, size);
    // The line went away under the job (the device node or the listener).
    return ok ? 0 : win32::kErrorGenFailure;
  }

 private:
  int fd_;
  bool socket_;
  std::string target_;
};

}  // namespace

std::filesystem::path SerialCaptureFile(const std::filesystem::path& machine, int number) {
  return machine / "ports" / ("COM" + std::to_string(number) + ".bin");
}

std::unique_ptr<SerialLine> SerialLine::Open(Machine& machine, int number, std::uint32_t* error) {
  *error = 0;
  Json state;
  std::string message;
  if (machine.store().Read(&state, &message) != StoreError::kNone) {
    *error = win32::kErrorGenFailure;
    return nullptr;
  }
  const std::string name = "COM" + std::to_string(number) + ":";
  Json mapping = {{"kind", kMapFile}};
  const Json port_map = state["spooler"].value("port_map", Json::object());
  for (const auto& [key, value] : port_map.items()) {
    if (EqualsNoCase(FromUtf8(key), FromUtf8(name))) mapping = value;
  }
  const std::string kind = mapping.value("kind", std::string(kMapFile));
  const std::string target = mapping.value("target", std::string());
  int fd = -1;
  if (kind == kMapTcp) {
    fd = ConnectTcp(target, &message);
  } else if (kind == kMapDevice) {
    fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
  } else if (kind == kMapFile) {
    const auto file = SerialCaptureFile(machine.store().Folder(), number);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  }
  if (fd < 0) {
    *error = win32::kErrorFileNotFound;
    return nullptr;
  }
  return std::make_unique<FdLine>(fd, kind == kMapTcp, target);
}

}  // namespace kit::sim
