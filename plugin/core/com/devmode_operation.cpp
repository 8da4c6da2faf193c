// DevMode: the host's private device-mode requests, handed to the record's
// codec. The host's output buffer is checked against the record's size
// before anything is written into it, and no more of the input record is
// read than its own size field announces (never more than the record size).
#include <cstring>
#include <span>

#include "plugin/core/com/last_error.h"
#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_core.h"
#include "plugin/core/devmode/private_devmode.h"

namespace kit::plugin::com {
namespace {

// The bytes of the host's input record that may be read.
std::span<const std::uint8_t> InputRecord(const void* in) {
  DWORD announced = 0;
  std::memcpy(&announced, in, sizeof announced);
  const std::size_t readable = announced < kPrivateDevModeSize ? announced : kPrivateDevModeSize;
  return {static_cast<const std::uint8_t*>(in), readable};
}

}  // namespace

HRESULT DevModeCore(DWORD dwMode, OEMDMPARAM* pOemDMParam) {
  if (pOemDMParam == nullptr || dwMode < OEMDM_SIZE || dwMode > OEMDM_VALIDATE) {
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  if (dwMode == OEMDM_SIZE) {
    pOemDMParam->cbBufSize = kPrivateDevModeSize;
    return kSOk;
  }
  // Without its output record a request leaves everything as it is; so does
  // Convert without its input. Validate without an input validates the
  // output record in place.
  void* out = pOemDMParam->pOEMDMOut;
  const void* in = pOemDMParam->pOEMDMIn;
  if (out == nullptr || (dwMode == OEMDM_CONVERT && in == nullptr)) return kSOk;
  if (pOemDMParam->cbBufSize < kPrivateDevModeSize) {
    // The host's buffer cannot take the record: nothing is written.
    SetThreadLastError(kErrorInsufficientBuffer);
    return kEFail;
  }
  const PrivateDevModeSpan record(static_cast<std::uint8_t*>(out), kPrivateDevModeSize);
  const std::u16string& system_directory = SystemDirectory();
  switch (dwMode) {
    case OEMDM_DEFAULT:
      WriteDefaults(record, system_directory);
      break;
    case OEMDM_CONVERT:
      Convert(InputRecord(in), record, system_directory);
      break;
    default:  // OEMDM_VALIDATE
      Validate(in != nullptr ? InputRecord(in) : std::span<const std::uint8_t>(), record, system_directory);
      break;
  }
  return kSOk;
}

}  // namespace kit::plugin::com
