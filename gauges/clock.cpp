// Clock: a 12-hour clock with a stopwatch driven by two bezel knobs.
#include "gauges/gauges.h"
#include "gauges/needle_rows.h"

double __stdcall StopwatchCounterValue(NeedleElement* hand);
double __stdcall ClockHourHandValue(NeedleElement* hand);
double __stdcall ClockMinuteHandValue(NeedleElement* hand);
double __stdcall StopwatchSecondsValue(NeedleElement* hand);
int32_t __stdcall StopwatchButtonClick(uint32_t, uint32_t);
int32_t __stdcall StopwatchResetClick(uint32_t, uint32_t);

namespace {
extern StaticImageElement ClockFace;
extern NeedleElement ClockCounterHand;
extern NeedleElement ClockHourHand;
extern NeedleElement ClockMinuteHand;
extern NeedleElement ClockSecondsHand;

ElementHeader* ClockRoot[]            = {&ClockFace.header, nullptr};
ElementHeader* ClockFaceChildren[]    = {&ClockCounterHand.header, nullptr};
ElementHeader* ClockCounterChildren[] = {&ClockHourHand.header, nullptr};
ElementHeader* ClockHourChildren[]    = {&ClockMinuteHand.header, nullptr};
ElementHeader* ClockMinuteChildren[]  = {&ClockSecondsHand.header, nullptr};

// Bottom layer first; every hand is drawn pointing up from its pivot.
KEL_RECORD StaticImageElement ClockFace =
    MakeStaticImage(0x1100, &ClockGauge, ClockFaceChildren, kDrawBackground);
//                                                     gauge        bitmap  position    offset     flags        token callback               max/tick children
KEL_RECORD NeedleElement ClockCounterHand = MakeNeedle(&ClockGauge, 0x1101, {113, 202}, { 6,  68}, kDrawFlags7, 557, StopwatchCounterValue, 0, ClockCounterChildren);
KEL_RECORD NeedleElement ClockHourHand    = MakeNeedle(&ClockGauge, 0x1102, {194, 202}, {27, 123}, kDrawFlags7, 557, ClockHourHandValue,    0, ClockHourChildren);
KEL_RECORD NeedleElement ClockMinuteHand  = MakeNeedle(&ClockGauge, 0x1103, {194, 202}, { 4, 148}, kDrawFlags7, 557, ClockMinuteHandValue,  0, ClockMinuteChildren);
KEL_RECORD NeedleElement ClockSecondsHand = MakeNeedle(&ClockGauge, 0x1104, {194, 202}, { 6, 148}, kDrawFlags7, 557, StopwatchSecondsValue, 0, nullptr);

// Time of day in seconds, looked up by the stopwatch at each press and while it runs.
KEL_RECORD ModuleVar ClockTimeVar = {.token = 557};

KEL_RECORD MouseRect ClockMouse[] = {
    Parent       ({  0,   0,  0,  0}, 0xAB16),
    Parent       ({  0,   0, 38, 18}, 0xAB16),
    EndOfParent  (),
    FunctionChild({304,  12, 90, 90}, StopwatchButtonClick),  // start / stop / resume
    FunctionChild({ 28, 300, 75, 75}, StopwatchResetClick),
    EndOfParent  (),
    EndOfList    (),
};

enum StopwatchMode : int32_t {
    Idle    = 0,
    Running = 1,
    Stopped = 2,
    Resumed = 3,
};

// One stopwatch for the whole module, shared by every Clock; zero (Idle) at load.
struct StopwatchRecord {
    int32_t state;        // a StopwatchMode
    double elapsed;       // as the seconds hand last computed it, or 0 after a reset
    double start_time;    // T at the press that left Idle
    double mark;          // T at the last stop; after a resume, the pause just ended
    double resume_time;   // T at the last resume
    double paused_total;  // the pauses since the last reset
};
StopwatchRecord StopwatchState;

constexpr double kHourHandSecondsPerDegree         = 120.0;  // a turn in 12 hours
constexpr double kMinuteHandSecondsPerDegree       = 10.0;   // a turn in an hour
constexpr double kDegreesPerStopwatchSecond        = 6.0;    // a turn in 60 s
constexpr double kStopwatchSecondsPerCounterDegree = 2.5;    // a turn in 15 minutes
// Added once to a negative time after a resume (never while first running).
constexpr double kNegativeDifferenceCorrection     = 60.0;

// Asks the host for the time of day and returns it (T).
double RefreshedTime() {
    Services()->LookupVar(&ClockTimeVar);
    return ClockTimeVar.value;
}
}  // namespace

KEL_RECORD GaugeHeader ClockGauge = MakeGaugeHeader("Clock", ClockRoot, ClockMouse);

double __stdcall ClockHourHandValue(NeedleElement* hand) {
    return hand->source_var.value / kHourHandSecondsPerDegree;
}

double __stdcall ClockMinuteHandValue(NeedleElement* hand) {
    return hand->source_var.value / kMinuteHandSecondsPerDegree;
}

// Shows whatever the seconds hand (of any Clock) or a reset last left in `elapsed`.
double __stdcall StopwatchCounterValue(NeedleElement*) {
    return StopwatchState.elapsed / kStopwatchSecondsPerCounterDegree;
}

// Recomputes `elapsed` while the stopwatch runs; a negative time after a resume gets
// one 60-second correction, a negative time before the first stop gets none.
double __stdcall StopwatchSecondsValue(NeedleElement*) {
    StopwatchRecord& sw = StopwatchState;
    switch (sw.state) {
    case Idle:
        return 0.0;
    case Running:
        sw.elapsed = RefreshedTime() - sw.start_time;
        return sw.elapsed * kDegreesPerStopwatchSecond;
    case Stopped:
        return sw.elapsed * kDegreesPerStopwatchSecond;
    case Resumed:
        sw.elapsed = (RefreshedTime() - sw.start_time) - sw.paused_total;
        if (sw.elapsed < 0.0) {
            sw.elapsed = sw.elapsed + kNegativeDifferenceCorrection;
        }
        return sw.elapsed * kDegreesPerStopwatchSecond;
    default:
        return 0.0;
    }
}

// Start, stop, resume, stop, resume...: one transition per click; a click never returns
// to Running, and an unknown state is left alone without a lookup.
int32_t __stdcall StopwatchButtonClick(uint32_t, uint32_t) {
    StopwatchRecord& sw = StopwatchState;
    switch (sw.state) {
    case Idle:
        sw.start_time = RefreshedTime();
        sw.state = Running;
        break;
    case Running:
        sw.mark = RefreshedTime();
        sw.state = Stopped;
        break;
    case Stopped:
        sw.resume_time = RefreshedTime();
        sw.mark = sw.resume_time - sw.mark;  // the pause that ends now
        if (sw.mark < 0.0) {
            sw.mark = sw.mark + kNegativeDifferenceCorrection;
        }
        sw.paused_total = sw.paused_total + sw.mark;
        sw.state = Resumed;
        break;
    case Resumed:
        sw.mark = RefreshedTime();
        sw.state = Stopped;
        break;
    default:
        break;
    }
    return 1;
}

// Back to Idle from any state; the start, stop and resume times are kept.
int32_t __stdcall StopwatchResetClick(uint32_t, uint32_t) {
    StopwatchState.state = Idle;
    StopwatchState.elapsed = 0.0;
    StopwatchState.paused_total = 0.0;
    return 1;
}
