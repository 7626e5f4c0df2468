// The host's USER32 wsprintfA: Windows formatting rules, output capped like the real one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace gaugehost {

// wsprintfA never writes more than this many bytes, its terminating zero included.
constexpr size_t kWsprintfBufferLimit = 1024;

// Formats `format` as wsprintfA does: %d %i %u %x %X %s %c %%, flags '-' '0' '#', width,
// precision, and the size prefixes h/l (ignored on 32-bit words). `next_arg` yields the
// variadic 32-bit arguments in order; `read_string` fetches a %s argument's text.
// The result holds at most kWsprintfBufferLimit - 1 characters.
std::string wsprintf_format(std::string_view format, const std::function<uint32_t()>& next_arg,
                            const std::function<std::string(uint32_t)>& read_string);

}  // namespace gaugehost
