// RADALT and VSI: single needles whose callbacks scale and clamp before the table.
#include "gauges/gauges.h"
#include "gauges/needle_rows.h"

double __stdcall RadaltNeedleValue(NeedleElement* needle);
double __stdcall VsiNeedleValue(NeedleElement* needle);

namespace {
extern StaticImageElement RadaltFace;
extern NeedleElement RadaltNeedle;

ElementHeader* RadaltRoot[]         = {&RadaltFace.header, nullptr};
ElementHeader* RadaltFaceChildren[] = {&RadaltNeedle.header, nullptr};

// Seen from (200, 200); the scale runs clockwise over the top, the bottom arc is blank.
KEL_RECORD NonlinearityPoint RadaltTable[2] = {
    //  x    y   value
    { 99, 372,   0.0, {}},
    {299, 372, 500.0, {}},
};

KEL_RECORD StaticImageElement RadaltFace =
    MakeStaticImage(0x1020, &RadaltGauge, RadaltFaceChildren, kDrawBackground);
//                                                      gauge         bitmap  position    offset    flags        token callback           max/tick children table
KEL_RECORD NeedleElement RadaltNeedle = MakeTableNeedle(&RadaltGauge, 0x1021, {200, 200}, {25, 27}, kDrawFlags7, 614, RadaltNeedleValue, 0, nullptr, RadaltTable);

KEL_RECORD HelpOnlyMouseList RadaltMouse = MakeHelpOnlyMouseList(0xAA14);

// Metres to feet as the instrument has always converted: not the nearest double to
// 1 / 0.3048 (0x400A3F28FCA3F28F) but this one.
constexpr double kFeetPerMetre = 3.28083989501312;
static_assert(BitsOf(kFeetPerMetre) == 0x400A3F28FCA3F288ULL);
constexpr double kRadaltTopFeet = 500.0;
}  // namespace

KEL_RECORD GaugeHeader RadaltGauge = MakeGaugeHeader("RADALT", RadaltRoot, RadaltMouse.rects);

namespace {
extern StaticImageElement VsiFace;
extern NeedleElement VsiNeedle;

ElementHeader* VsiRoot[]         = {&VsiFace.header, nullptr};
ElementHeader* VsiFaceChildren[] = {&VsiNeedle.header, nullptr};

// Seen from (199, 199): 0 at the left, climb clockwise over the top, descent below.
KEL_RECORD NonlinearityPoint VsiTable[9] = {
    //  x    y  value
    {386, 268, -4.0, {}},
    {267, 387, -2.0, {}},
    {133, 386, -1.0, {}},
    { 48, 327, -0.5, {}},
    {  1, 200,  0.0, {}},
    { 48,  73,  0.5, {}},
    {133,  14,  1.0, {}},
    {267,  13,  2.0, {}},
    {386, 132,  4.0, {}},
};

KEL_RECORD StaticImageElement VsiFace =
    MakeStaticImage(0x1040, &VsiGauge, VsiFaceChildren, kDrawBackground);
//                                                   gauge      bitmap  position    offset    flags        token callback        max/tick children table
KEL_RECORD NeedleElement VsiNeedle = MakeTableNeedle(&VsiGauge, 0x1041, {199, 199}, {19, 19}, kDrawFlags7, 556, VsiNeedleValue, 6, nullptr, VsiTable);

KEL_RECORD HelpOnlyMouseList VsiMouse = MakeHelpOnlyMouseList(0xAB76);

// 60 / 1000: the variable's units to the dial's.
constexpr double kVsiScale = 0.06;
static_assert(BitsOf(kVsiScale) == 0x3FAEB851EB851EB8ULL);
constexpr double kVsiTop    = 4.0;
constexpr double kVsiBottom = -4.0;
}  // namespace

KEL_RECORD GaugeHeader VsiGauge = MakeGaugeHeader("VSI", VsiRoot, VsiMouse.rects);

// Feet, held at 500 from above; exactly 500 and anything below pass unchanged.
double __stdcall RadaltNeedleValue(NeedleElement* needle) {
    double t = needle->source_var.value * kFeetPerMetre;
    if (t > kRadaltTopFeet) {
        t = kRadaltTopFeet;
    }
    return t;
}

// Dial units held to -4..4; the ends themselves pass unchanged.
double __stdcall VsiNeedleValue(NeedleElement* needle) {
    double t = needle->source_var.value * kVsiScale;
    if (t > kVsiTop) {
        t = kVsiTop;
    }
    if (t < kVsiBottom) {
        t = kVsiBottom;
    }
    return t;
}
