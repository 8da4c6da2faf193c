// Raw job delivery to a TCP listener or a device node (POSIX sockets).
#include "platform/sim/delivery.h"
#include "platform/sim/fd_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kit::sim {

int ConnectTcp(const std::string& target, std::string* error) {
  const auto colon = target.rfind(':');
  if (colon == std::string::npos) {
    *error = "port mapping '" + target + "' is not host:port";
    return -1;
  }
  const std::string host = target.substr(0, colon);
  int port = 0;
  for (char c : target.substr(colon + 1)) {
    if (c < '0' || c > '9' || port > 65535) {
      port = -1;
      break;
    }
    port = port * 10 + (c - '0');
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (port <= 0 || port > 65535 || ::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    *error = "port mapping '" + target + "' is not a numeric IPv4 address and port";
    return -1;
  }
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  auto fail = [&] {
    *error = "cannot connect to " + target + ": " + std::strerror(errno);
    ::close(fd);
    return -1;
  };
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (errno != EINPROGRESS) return fail();
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, kTcpTimeoutMilliseconds) != 1) {
      errno = ETIMEDOUT;
      return fail();
    }
    int so_error = 0;
    socklen_t len = sizeof so_error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &len);
    if (so_error != 0) {
      errno = so_error;
      return fail();
    }
  }
  return fd;
}

bool SendOnSocket(int fd, const std::uint8_t* data, std::size_t size, const std::string& target, std::string* error) {
  std::size_t done = 0;
  while (done < size) {
    const auto n = ::send(fd, data + done, size - done, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, kTcpTimeoutMilliseconds) != 1) {
          errno = ETIMEDOUT;
          *error = "cannot send to " + target + ": " + std::strerror(errno);
          return false;
        }
        continue;
      }
      if (errno == EINTR) continue;
      *error = "cannot send to " + target + ": " + std::strerror(errno);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SendTcp(const std::string& target, const Bytes& data, std::string* error) {
  const int fd = ConnectTcp(target, error);
  if (fd < 0) return false;
  const bool sent = SendOnSocket(fd, data.data(), data.size(), target, error);
  if (sent) ::shutdown(fd, SHUT_WR);
  ::close(fd);
  return sent;
}

bool SendDevice(const std::string& target, const Bytes& data, std::string* error) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *error = "cannot open " + target + ": " + std::strerror(errno);
    return false;
  }
  if (!WriteAll(fd, data.data(), data.size())) {
    *error = "cannot write " + target + ": " + std::strerror(errno);
    ::close(fd);
    return false;
  }
  ::close(fd);
  return true;
}

}  // namespace kit::sim
