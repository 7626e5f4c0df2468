// Small helpers shared by the module's behaviour tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <ios>

#include "gaugehost.h"

inline uint64_t Bits(double v) { return std::bit_cast<uint64_t>(v); }

// The same double bit for bit: -0 does not match +0, and a NaN must match the NaN's bits.
inline ::testing::AssertionResult SameBits(double actual, double expected) {
    if (Bits(actual) == Bits(expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hexfloat << actual << " (" << std::defaultfloat << actual
                                         << "), expected " << std::hexfloat << expected << " ("
                                         << std::defaultfloat << expected << ")";
}

// As SameBits, but any NaN matches any NaN.
inline ::testing::AssertionResult SameBitsOrNan(double actual, double expected) {
    if (std::isnan(actual) && std::isnan(expected)) return ::testing::AssertionSuccess();
    return SameBits(actual, expected);
}

// The values both text fields share: white bold Arial on black with the grey highlight,
// centred on one line, the font name zero-filled to its 32 bytes.
inline void ExpectCommonTextField(const gaugehost::Host& host, const gaugehost::ElementModel& t) {
    EXPECT_EQ(t.kind, gaugehost::ElementKind::String);
    EXPECT_EQ(t.resource_id, 0xFFFFFFFFu);
    EXPECT_EQ(t.draw_flags, 7u);
    EXPECT_EQ(t.fore_color, 0x00FFFFFFu);
    EXPECT_EQ(t.back_color, 0x00000000u);
    EXPECT_EQ(t.highlight_color, 0x005C5C5Cu);
    EXPECT_EQ(t.font_name, "Arial");
    EXPECT_EQ(t.font_weight, 700);
    EXPECT_EQ(t.font_charset, 1u);
    EXPECT_EQ(t.text_format, 0x25u);
    auto font = host.read(t.address + gaugehost::layout::kStringFont, 32);
    for (size_t i = 5; i < font.size(); ++i) EXPECT_EQ(font[i], 0) << "font_name byte " << i;
}
