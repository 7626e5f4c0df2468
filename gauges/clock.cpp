// Clock: a 12-hour clock with a stopwatch driven by two bezel knobs.
#include "gauges/gauges.h"

int32_t __stdcall StopwatchButtonClick(uint32_t, uint32_t);
int32_t __stdcall StopwatchResetClick(uint32_t, uint32_t);

namespace {
KEL_RECORD StaticImageElement ClockFace = MakeStaticImage(0x1100, &ClockGauge, nullptr, kDrawBackground);
ElementHeader* ClockRoot[] = {&ClockFace.header, nullptr};

KEL_RECORD MouseRect ClockMouse[] = {
    Parent       ({  0,   0,  0,  0}, 0xAB16),
    Parent       ({  0,   0, 38, 18}, 0xAB16),
    EndOfParent  (),
    FunctionChild({304,  12, 90, 90}, StopwatchButtonClick),  // start / stop / resume
    FunctionChild({ 28, 300, 75, 75}, StopwatchResetClick),
    EndOfParent  (),
    EndOfList    (),
};
}  // namespace

KEL_RECORD GaugeHeader ClockGauge = MakeGaugeHeader("Clock", ClockRoot, ClockMouse);

int32_t __stdcall StopwatchButtonClick(uint32_t, uint32_t) { return 1; }
int32_t __stdcall StopwatchResetClick(uint32_t, uint32_t) { return 1; }
