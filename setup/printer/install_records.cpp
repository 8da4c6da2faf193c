#include "setup/printer/install_records.h"

#include <optional>

namespace kit::setup {
namespace {

bool CreateKey(EngineContext& ctx, std::string_view key, RegistryKeyPtr* open) {
  return ctx.platform.registry.RegCreateKeyEx(RootKey::kLocalMachine, ctx.Wide(key), ctx.KeyAccess(), open) ==
         win32::kErrorSuccess;
}

}  // namespace

bool WriteUsbPortRecord(EngineContext& ctx, std::string_view port_name, std::uint32_t value) {
  std::optional<ScopedFsRedirectionOff> guard;
  if (ctx.is_64bit) guard.emplace(ctx.platform.files);
  RegistryKeyPtr key;
  if (!CreateKey(ctx, kPortNameRecordKey, &key)) return false;
  const bool written = key->SetDword(ctx.Wide(port_name), value) == win32::kErrorSuccess;
  RegistryKeyPtr printer_port;
  return CreateKey(ctx, kPrinterPortRecordKey, &printer_port) && written;
}

bool WritePrinterPortRecord(EngineContext& ctx, std::string_view chosen_port) {
  std::optional<ScopedFsRedirectionOff> guard;
  if (ctx.is_64bit) guard.emplace(ctx.platform.files);
  RegistryKeyPtr key;
  return CreateKey(ctx, kPrinterPortRecordKey, &key) && key->SetDword(ctx.Wide(chosen_port), 0) == win32::kErrorSuccess;
}

}  // namespace kit::setup
