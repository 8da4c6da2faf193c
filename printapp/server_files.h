// The files a client may make the server open: a `file:` device only inside
// the folder the administrator gave it, and a web form's picture only as
// the upload PAPPL wrote to its temporary folder, never a path a client
// typed. The server runs these checks with its own rights, so a client
// never learns of, reads or writes a file outside those folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit::printapp {

// Why a `file:` device URI is refused, or nothing when its file lies in
// `folder` (the folder itself, a file in it, or a new file in it). An
// empty `folder` refuses every `file:` device. A URI of another scheme is
// no business of this check: nothing.
std::optional<std::string> FileDeviceRefusal(std::string_view uri, const std::string& folder);

// A form file field's value as PAPPL gives it for an upload: a regular
// file of this process's user directly in `temp_folder`. Its bytes, at
// most `limit` of them; why not otherwise.
struct Upload {
  std::vector<std::uint8_t> bytes;
  std::string refusal;  // empty when `bytes` holds the upload
};
Upload ReadUpload(const std::string& value, const std::string& temp_folder, std::size_t limit);

}  // namespace kit::printapp
