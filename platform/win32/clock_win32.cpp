// The clock on the real Windows: Sleep, the tick count and local time.
#include <atomic>

#include "platform/tick_count.h"
#include "platform/win32/win32_common.h"
#include "platform/win32/windows_platform.h"

namespace kit::win32 {
namespace {

class Win32Clock final : public Clock {
 public:
  Win32Clock() : tick_count64_(SystemProc<TickCount64>(L"kernel32.dll", "GetTickCount64")) {}

  void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }

  std::uint64_t GetTickCount64() override {
    // GetTickCount64 exists from Vista on; before that the 32-bit count,
    // which wraps after 49.7 days, is widened so that a time taken before a
    // wrap stays earlier than one taken after it.
    if (tick_count64_ != nullptr) return tick_count64_();
    return WideTickCount(wide_ticks_, [] { return static_cast<std::uint32_t>(::GetTickCount()); });
  }

  SystemTime GetLocalTime() override {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    SystemTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day_of_week = st.wDayOfWeek;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.milliseconds = st.wMilliseconds;
    return t;
  }

 private:
  using TickCount64 = ULONGLONG(WINAPI*)();
  TickCount64 tick_count64_;
  static inline std::atomic<std::uint64_t> wide_ticks_{0};  // one count for every clock
};

}  // namespace

std::unique_ptr<Clock> MakeClock() { return std::make_unique<Win32Clock>(); }

}  // namespace kit::win32
