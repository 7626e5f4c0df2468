// Small helpers shared by the module's behaviour tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <ios>

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
