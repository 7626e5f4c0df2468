// Needle rows as the gauge tables give them: bitmap, pivot on the root, pivot in the
// bitmap, drawing flags, token, callback and turn limit, then the child list.
#pragma once
#include "host/records.h"


// A needle whose callback returns its angle in degrees (no calibration table).
constexpr NeedleElement MakeNeedle(GaugeHeader* gauge, uint32_t resource_id, PixelPoint position,
                                   PixelPoint offset, uint32_t draw_flags, uint32_t token,
                                   NeedleCallback callback, int32_t max_degrees_per_tick,
                                   ElementHeader** next) {
    return NeedleElement{
        .header = {.element_type = kNeedle, .resource_id = resource_id, .position = position,
                   .host_10 = {}, .offset = offset, .gauge_header = gauge, .host_24 = nullptr,
                   .next_elements = next, .reserved_2c = nullptr, .draw_flags = draw_flags,
                   .reserved_34 = 0, .reserved_38 = 0},
        .source_var = {.token = token},
        .host_58 = {},
        .nonlinearity_table = nullptr,
        .nonlinearity_count = 0,
        .max_degrees_per_tick = max_degrees_per_tick,
        .host_7c = {},
        .value_callback = callback,
        .host_e4 = {},
    };
}

// A needle whose callback returns a value on `table`'s scale; the count is the table's.
template <uint32_t N>
constexpr NeedleElement MakeTableNeedle(GaugeHeader* gauge, uint32_t resource_id, PixelPoint position,
                                        PixelPoint offset, uint32_t draw_flags, uint32_t token,
                                        NeedleCallback callback, int32_t max_degrees_per_tick,
                                        ElementHeader** next, NonlinearityPoint (&table)[N]) {
    static_assert(N >= 2, "a calibration table has at least two points");
    NeedleElement needle = MakeNeedle(gauge, resource_id, position, offset, draw_flags, token,
                                      callback, max_degrees_per_tick, next);
    needle.nonlinearity_table = table;
    needle.nonlinearity_count = N;
    return needle;
}

// The exact stored double of a constant, for static_asserts against its bit pattern.
constexpr uint64_t BitsOf(double d) { return __builtin_bit_cast(uint64_t, d); }

// Keeps the compiler from folding a multiply by a constant into a negation: a real
// multiply leaves a NaN's sign alone, a negation flips it.
inline double Opaque(double d) {
    asm("" : "+x"(d));
    return d;
}
