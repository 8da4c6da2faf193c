// The limit the tests give the platform's bounded whole-file read: larger
// than any file a test reads back.
#pragma once

#include <cstdint>

inline constexpr std::uint64_t kTestReadLimit = std::uint64_t{1} << 30;
