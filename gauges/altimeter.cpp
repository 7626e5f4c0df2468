// ALTIMETER and its pressure-setting knob KOHLSMAN, which meet only through token 75.
#include "gauges/gauges.h"

namespace {
KEL_RECORD StaticImageElement AltimeterFace = MakeStaticImage(0x1010, &AltimeterGauge, nullptr, kDrawBackground);
ElementHeader* AltimeterRoot[] = {&AltimeterFace.header, nullptr};
KEL_RECORD HelpOnlyMouseList AltimeterMouse = MakeHelpOnlyMouseList(0xAB07);
}  // namespace

KEL_RECORD GaugeHeader AltimeterGauge = MakeGaugeHeader("ALTIMETER", AltimeterRoot, AltimeterMouse.rects);

namespace {
KEL_RECORD StaticImageElement KohlsmanBase = MakeStaticImage(0x1014, &KohlsmanGauge, nullptr, kDrawBackground);
ElementHeader* KohlsmanRoot[] = {&KohlsmanBase.header, nullptr};

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
