// Where the virtual machine sends the bytes of a finished raw job: a file
// in the machine folder (the default), a TCP address, or a device node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/types.h"

namespace kit::sim {

// Port mapping kinds.
inline constexpr char kMapFile[] = "file";      // keep the job in the machine's jobs folder
inline constexpr char kMapTcp[] = "tcp";        // target "host:port"
inline constexpr char kMapDevice[] = "device";  // target a device node such as /dev/usb/lp0
inline constexpr char kMapHold[] = "hold";      // keep the job queued (a printer that is offline)

// How long a TCP delivery may take to connect and send.
inline constexpr int kTcpTimeoutMilliseconds = 3000;

// Connects to "host:port" (numeric IPv4 address) within the time-out: the
// socket, or -1 with a message.
int ConnectTcp(const std::string& target, std::string* error);
// Sends all of `data` on a connected socket. False with a message naming
// `target`.
bool SendOnSocket(int fd, const std::uint8_t* data, std::size_t size, const std::string& target, std::string* error);
// Sends `data` to "host:port" (numeric IPv4 address). False with a message.
bool SendTcp(const std::string& target, const Bytes& data, std::string* error);
// Appends `data` to a device node or file. False with a message.
bool SendDevice(const std::string& target, const Bytes& data, std::string* error);

}  // namespace kit::sim
