#include "setup/app/redirection_guard.h"

#include <utility>

namespace kit::setup {
namespace {

constexpr char16_t kKernel32[] = u"Kernel32.dll";
constexpr char kDisableProc[] = "Wow64DisableWow64FsRedirection";
constexpr char kRevertProc[] = "Wow64RevertWow64FsRedirection";

}  // namespace

RedirectionGuard::RedirectionGuard(SystemFacts& system, Files& files, bool is_64bit, GuardNotice notice)
    : system_(system), files_(files), notice_(std::move(notice)) {
  if (!is_64bit || !Lookup(kDisableProc, kNoDisableFunctionText)) return;
  active_ = files_.Wow64DisableWow64FsRedirection(&old_value_);
}

RedirectionGuard::~RedirectionGuard() {
  if (!active_ || !Lookup(kRevertProc, kNoRevertFunctionText)) return;
  files_.Wow64RevertWow64FsRedirection(old_value_);
}

bool RedirectionGuard::Lookup(const char* proc, const char16_t* missing_text) {
  const LibraryHandle kernel = system_.LoadLibrary(kKernel32);
  const char16_t* text = !kernel ? kNoKernel32Text : !kernel->HasProc(proc) ? missing_text : nullptr;
  if (text == nullptr) return true;
  if (notice_) notice_(text);
  return false;
}

}  // namespace kit::setup
