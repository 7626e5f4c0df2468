// COMPASS card with heading bug, and the HEADINGBUG knob; they meet through token 855.
#include "gauges/gauges.h"
#include "gauges/needle_rows.h"

double __stdcall CompassCardValue(NeedleElement* card);
double __stdcall CompassBugValue(NeedleElement* bug);
double __stdcall HeadingBugKnobValue(NeedleElement* knob);

namespace {
extern StaticImageElement CompassFace;
extern NeedleElement CompassCard;
extern NeedleElement CompassBug;
extern StaticImageElement CompassOverlay;

ElementHeader* CompassRoot[]         = {&CompassFace.header, nullptr};
ElementHeader* CompassFaceChildren[] = {&CompassCard.header, nullptr};
ElementHeader* CompassCardChildren[] = {&CompassBug.header, nullptr};
ElementHeader* CompassBugChildren[]  = {&CompassOverlay.header, nullptr};

// Drawn base, card, bug, overlay; the overlay's top triangle is the lubber mark.
KEL_RECORD StaticImageElement CompassFace =
    MakeStaticImage(0x1030, &CompassGauge, CompassFaceChildren, kDrawBackground);
//                                                gauge          bitmap  position    offset      flags        token callback          max/tick children
KEL_RECORD NeedleElement CompassCard = MakeNeedle(&CompassGauge, 0x1031, {199, 199}, {199, 199}, kDrawFlags7, 81,  CompassCardValue, 6, CompassCardChildren);
KEL_RECORD NeedleElement CompassBug  = MakeNeedle(&CompassGauge, 0x1032, {199, 199}, {195,  24}, kDrawFlags7, 855, CompassBugValue,  6, CompassBugChildren);
KEL_RECORD StaticImageElement CompassOverlay =
    MakeStaticImage(0x1033, &CompassGauge, nullptr, kDrawFlags7);

// The bug's own copy of the heading, distinct from the card's and from the ADF's.
KEL_RECORD ModuleVar CompassHeadingVar = {.token = 81};

KEL_RECORD HelpOnlyMouseList CompassMouse = MakeHelpOnlyMouseList(0xAB34);

constexpr double kCardTurnPerDegree = -1.0;
}  // namespace

KEL_RECORD GaugeHeader CompassGauge = MakeGaugeHeader("COMPASS", CompassRoot, CompassMouse.rects);

namespace {
extern StaticImageElement HeadingBugBase;
extern NeedleElement HeadingBugKnob;

ElementHeader* HeadingBugRoot[]         = {&HeadingBugBase.header, nullptr};
ElementHeader* HeadingBugBaseChildren[] = {&HeadingBugKnob.header, nullptr};

KEL_RECORD StaticImageElement HeadingBugBase =
    MakeStaticImage(0x1034, &HeadingBugGauge, HeadingBugBaseChildren, kDrawBackground);
//                                                   gauge             bitmap  position  offset    flags        token callback             max/tick children
KEL_RECORD NeedleElement HeadingBugKnob = MakeNeedle(&HeadingBugGauge, 0x1035, {22, 22}, {22, 22}, kDrawFlags3, 855, HeadingBugKnobValue, 6, nullptr);

// The knob halves send the bug events themselves; x = 22 belongs to neither.
KEL_RECORD MouseRect HeadingBugMouse[] = {
    Parent       ({ 0, 0,  0,  0}, 0xAB34),
    Parent       ({ 0, 0, 38, 18}, 0xAB34),
    EndOfParent  (),
    KeyEventChild({ 0, 0, 22, 45}, kDownArrow, 0x10158),
    KeyEventChild({23, 0, 22, 45}, kUpArrow,   0x10157),
    EndOfParent  (),
    EndOfList    (),
};
}  // namespace

KEL_RECORD GaugeHeader HeadingBugGauge = MakeGaugeHeader("HEADINGBUG", HeadingBugRoot, HeadingBugMouse);

// The card turns against the heading, unwrapped: 359 gives -359, 0 a negative zero.
double __stdcall CompassCardValue(NeedleElement* card) {
    return card->source_var.value * Opaque(kCardTurnPerDegree);
}

// Bug setting minus the heading looked up in this same call, unwrapped (10 - 350 = -340).
double __stdcall CompassBugValue(NeedleElement* bug) {
    Services()->LookupVar(&CompassHeadingVar);
    const double b = bug->source_var.value;
    return b - CompassHeadingVar.value;
}

// One degree of knob per degree of setting.
double __stdcall HeadingBugKnobValue(NeedleElement* knob) { return knob->source_var.value; }
