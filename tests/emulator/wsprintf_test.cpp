// wsprintfA as the host provides it: Windows formatting rules and the 1024-byte cap.
#include <gtest/gtest.h>

#include <vector>

#include "wsprintf.h"

using namespace gaugehost;

namespace {

// String arguments are given as "addresses" 1, 2, ... into this table.
const std::vector<std::string> kStrings = {"", "abc", "Arial"};

std::string format(const std::string& fmt, std::vector<uint32_t> args) {
    size_t next = 0;
    return wsprintf_format(
        fmt, [&] { return next < args.size() ? args[next++] : 0u; },
        [&](uint32_t p) { return kStrings.at(p); });
}

struct Case {
    const char* format;
    std::vector<uint32_t> args;
    const char* expected;
};

const Case kCases[] = {
    {"%d", {1013}, "1013"},
    {"0%d", {999}, "0999"},
    {"00%d", {9}, "009"},
    {"%d", {uint32_t(-2)}, "-2"},
    {"%d", {0x80000000u}, "-2147483648"},
    {"%i", {42}, "42"},
    {"%u", {0xFFFFFFFFu}, "4294967295"},
    {"%x", {0xBEEFu}, "beef"},
    {"%X", {0xBEEFu}, "BEEF"},
    {"%#x", {255}, "0xff"},
    {"%s|%s", {1, 2}, "abc|Arial"},
    {"%s", {0}, "(null)"},
    {"%c%c", {'O', 'K'}, "OK"},
    {"100%%", {}, "100%"},
    {"%5d", {42}, "   42"},
    {"%-5d|", {42}, "42   |"},
    {"%05d", {42}, "00042"},
    {"%05d", {uint32_t(-42)}, "-0042"},
    {"%-05d|", {42}, "42   |"},
    {"%08X", {0xABCu}, "00000ABC"},
    {"%6s|", {1}, "   abc|"},
    {"%-6s|", {1}, "abc   |"},
    {"%.2s", {2}, "Ar"},
    {"%.4d", {7}, "0007"},
    {"%ld %hd", {5, 6}, "5 6"},
    {"%y", {}, "y"},
    {"no format", {}, "no format"},
    {"tail %", {}, "tail "},
};

class WsprintfA : public testing::TestWithParam<Case> {};

TEST_P(WsprintfA, FormatsAsWindowsDoes) { EXPECT_EQ(format(GetParam().format, GetParam().args), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Cases, WsprintfA, testing::ValuesIn(kCases));

TEST(WsprintfALimit, OutputStopsAt1023CharactersLikeTheRealOne) {
    EXPECT_EQ(format("%2000d", {1}).size(), kWsprintfBufferLimit - 1);
    std::string long_text(1500, 'x');
    EXPECT_EQ(format(long_text, {}).size(), kWsprintfBufferLimit - 1);
    std::string many;
    for (int i = 0; i < 300; ++i) many += "%d";
    std::string out = format(many, std::vector<uint32_t>(300, 1234));
    EXPECT_EQ(out.size(), kWsprintfBufferLimit - 1);
    EXPECT_EQ(out.substr(0, 8), "12341234");
}

}  // namespace
