// ALTIMETER and its pressure-setting knob KOHLSMAN, which meet only through token 75.
#include "elements/text.h"
#include "gauges/gauges.h"
#include "gauges/needle_rows.h"

double __stdcall PressureSettingText(StringElement* text);
double __stdcall AltimeterTenThousandsHandValue(NeedleElement* hand);
double __stdcall AltimeterThousandsHandValue(NeedleElement* hand);
double __stdcall AltimeterHundredsHandValue(NeedleElement* hand);
double __stdcall PressureKnobValue(NeedleElement* knob);

namespace {
extern StaticImageElement AltimeterFace;
extern StringElement PressureText;
extern NeedleElement AltimeterShortHand;
extern NeedleElement AltimeterMiddleHand;
extern NeedleElement AltimeterLongHand;

ElementHeader* AltimeterRoot[]         = {&AltimeterFace.header, nullptr};
ElementHeader* AltimeterFaceChildren[] = {&PressureText.header, nullptr};
ElementHeader* PressureTextChildren[]  = {&AltimeterShortHand.header, nullptr};
ElementHeader* ShortHandChildren[]     = {&AltimeterMiddleHand.header, nullptr};
ElementHeader* MiddleHandChildren[]    = {&AltimeterLongHand.header, nullptr};

// Drawn in this order: dial, pressure window text, then the hands with the long one on top.
KEL_RECORD StaticImageElement AltimeterFace =
    MakeStaticImage(0x1010, &AltimeterGauge, AltimeterFaceChildren, kDrawBackground);

// The four-digit window at the bottom of the dial; only token 75 is ever read.
KEL_RECORD StringElement PressureText =
    //          gauge            position    children              tokens          box        max  callback
    MakeTextBox(&AltimeterGauge, {135, 320}, PressureTextChildren, {75, 335, 0},   130, 42,   4,   PressureSettingText);

//                                                        gauge            bitmap  position    offset     flags        token callback                        max/tick children
KEL_RECORD NeedleElement AltimeterShortHand  = MakeNeedle(&AltimeterGauge, 0x1013, {200, 200}, {18, 127}, kDrawFlags7, 74, AltimeterTenThousandsHandValue, 0, ShortHandChildren);
KEL_RECORD NeedleElement AltimeterMiddleHand = MakeNeedle(&AltimeterGauge, 0x1012, {200, 200}, {25, 148}, kDrawFlags7, 74, AltimeterThousandsHandValue,    0, MiddleHandChildren);
KEL_RECORD NeedleElement AltimeterLongHand   = MakeNeedle(&AltimeterGauge, 0x1011, {200, 200}, {18, 189}, kDrawFlags7, 74, AltimeterHundredsHandValue,     0, nullptr);

KEL_RECORD HelpOnlyMouseList AltimeterMouse = MakeHelpOnlyMouseList(0xAB07);

// Degrees per foot of the three hands: one turn per 1,000, 10,000 and 100,000.
constexpr double kHundredsDegreesPerFoot      = 0.36;
constexpr double kThousandsDegreesPerFoot     = 0.036;
constexpr double kTenThousandsDegreesPerFoot  = 0.0036;
static_assert(BitsOf(kHundredsDegreesPerFoot)     == 0x3FD70A3D70A3D70AULL);
static_assert(BitsOf(kThousandsDegreesPerFoot)    == 0x3FA26E978D4FDF3BULL);
static_assert(BitsOf(kTenThousandsDegreesPerFoot) == 0x3F6D7DBF487FCB92ULL);

// The window shows one leading zero below 1000 (0950) and none from 1000 up (1013).
constexpr double kLeadingZeroBelow = 1000.0;
// Integers whose text fits the window's 4 characters, per format: "0%d" reaches from
// "0-99" to "0999", "%d" (only for values from 1000 up) to "9999". Values beyond are
// held at those ends, so a huge or infinite setting reads 9999 and -100 or below (or
// -infinity) reads 0-99; NaN, which belongs to no range, reads "----".
constexpr int32_t kPaddedLowest   = -99;
constexpr int32_t kPaddedHighest  = 999;
constexpr int32_t kPlainLowest    = 1000;
constexpr int32_t kPlainHighest   = 9999;
constexpr char kNoSettingText[]   = "----";

constexpr double kKnobRestSetting    = 1013.0;
constexpr double kKnobDegreesPerUnit = -5.0;
}  // namespace

KEL_RECORD GaugeHeader AltimeterGauge = MakeGaugeHeader("ALTIMETER", AltimeterRoot, AltimeterMouse.rects);

namespace {
extern StaticImageElement KohlsmanBase;
extern NeedleElement KohlsmanKnob;

ElementHeader* KohlsmanRoot[]         = {&KohlsmanBase.header, nullptr};
ElementHeader* KohlsmanBaseChildren[] = {&KohlsmanKnob.header, nullptr};

KEL_RECORD StaticImageElement KohlsmanBase =
    MakeStaticImage(0x1014, &KohlsmanGauge, KohlsmanBaseChildren, kDrawBackground);
//                                                 gauge           bitmap  position  offset    flags        token callback           max/tick children
KEL_RECORD NeedleElement KohlsmanKnob = MakeNeedle(&KohlsmanGauge, 0x1015, {22, 22}, {22, 22}, kDrawFlags3, 75, PressureKnobValue, 0, nullptr);

// The knob halves send the pressure events themselves; x = 22 belongs to neither.
KEL_RECORD MouseRect KohlsmanMouse[] = {
    Parent       ({ 0, 0,  0,  0}, 0xAB3A),
    Parent       ({ 0, 0, 38, 18}, 0xAB3A),
    EndOfParent  (),
    KeyEventChild({ 0, 0, 22, 45}, kDownArrow, 0x1015C),
    KeyEventChild({23, 0, 22, 45}, kUpArrow,   0x1015B),
    EndOfParent  (),
    EndOfList    (),
};
}  // namespace

KEL_RECORD GaugeHeader KohlsmanGauge = MakeGaugeHeader("KOHLSMAN", KohlsmanRoot, KohlsmanMouse);

double __stdcall AltimeterHundredsHandValue(NeedleElement* hand) {
    return hand->source_var.value * kHundredsDegreesPerFoot;
}

double __stdcall AltimeterThousandsHandValue(NeedleElement* hand) {
    return hand->source_var.value * kThousandsDegreesPerFoot;
}

double __stdcall AltimeterTenThousandsHandValue(NeedleElement* hand) {
    return hand->source_var.value * kTenThousandsDegreesPerFoot;
}

// Writes the setting, truncated, into the host's buffer (never more than 4 characters)
// and returns it unchanged. The format is chosen on the double: 999.7 reads 0999.
double __stdcall PressureSettingText(StringElement* text) {
    const double v = text->source_vars[0].value;
    if (v < kLeadingZeroBelow) {
        WriteTruncated(text->text_buffer, "0%d", v, kPaddedLowest, kPaddedHighest, kNoSettingText);
    } else {
        WriteTruncated(text->text_buffer, "%d", v, kPlainLowest, kPlainHighest, kNoSettingText);
    }
    return v;
}

// 5 degrees per unit away from 1013, in this order, so 1013 itself gives a negative zero.
double __stdcall PressureKnobValue(NeedleElement* knob) {
    return (kKnobRestSetting - knob->source_var.value) * kKnobDegreesPerUnit;
}
