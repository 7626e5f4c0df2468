// DEVIATION: gated course and glide-slope bars with their flags.
// OBS: the three-digit course readout, the course knob and the reciprocal-course button.
#include "gauges/gauges.h"
#include "elements/text.h"

double __stdcall CourseBarX(MovingImageElement* bar);
double __stdcall GlideSlopeBarY(MovingImageElement* bar);
double __stdcall UnityValue(MovingImageElement* bar);
double __stdcall CourseFlagValue(IconElement* flag);
double __stdcall GlideSlopeFlagValue(IconElement* flag);
double __stdcall ObsCourseText(StringElement* readout);
int32_t __stdcall ReciprocalCourseClick(uint32_t, uint32_t);

namespace {
extern StaticImageElement DeviationFace;
extern MovingImageElement GlideSlopeBar;
extern MovingImageElement CourseBar;
extern IconElement CourseFlag;
extern IconElement GlideSlopeFlag;

ElementHeader* DeviationRoot[]          = {&DeviationFace.header, nullptr};
ElementHeader* DeviationFaceChildren[]  = {&GlideSlopeBar.header, nullptr};
ElementHeader* GlideSlopeBarChildren[]  = {&CourseBar.header, nullptr};
ElementHeader* CourseBarChildren[]      = {&CourseFlag.header, nullptr};
ElementHeader* CourseFlagChildren[]     = {&GlideSlopeFlag.header, nullptr};

KEL_RECORD StaticImageElement DeviationFace =
    MakeStaticImage(0x1060, &DeviationGauge, DeviationFaceChildren, kDrawFlags5);

// The bars ignore their own variables and follow the standalone ones below; the fixed axis
// of each is token 0 on a 0..0 range with a constant 1.0. Masks are resource_id + 1.
KEL_RECORD MovingImageElement GlideSlopeBar = {
    .header = {.element_type = kMovingImage, .resource_id = 0x1061, .position = {0, 0},
               .offset = {0, 0}, .gauge_header = &DeviationGauge,
               .next_elements = GlideSlopeBarChildren, .draw_flags = kDrawFlags7},
    .x_var = {.token = 0},   .x_min =    0.0, .x_max =   0.0,
    .y_var = {.token = 41},  .y_min = -127.0, .y_max = 127.0,
    .x_callback = UnityValue,
    .y_callback = GlideSlopeBarY,
};

KEL_RECORD MovingImageElement CourseBar = {
    .header = {.element_type = kMovingImage, .resource_id = 0x1063, .position = {0, 0},
               .offset = {0, 0}, .gauge_header = &DeviationGauge,
               .next_elements = CourseBarChildren, .draw_flags = kDrawFlags7},
    .x_var = {.token = 40},  .x_min = -127.0, .x_max = 127.0,
    .y_var = {.token = 0},   .y_min =    0.0, .y_max =   0.0,
    .x_callback = CourseBarX,
    .y_callback = UnityValue,
};

// Each flag holds a token it does not decide by: the course flag follows token 49, the
// glide-slope flag token 44.
KEL_RECORD IconElement CourseFlag = {
    .header = {.element_type = kIcon, .resource_id = 0x1065, .position = {101, 185},
               .offset = {0, 0}, .gauge_header = &DeviationGauge,
               .next_elements = CourseFlagChildren, .draw_flags = kDrawFlags7},
    .source_var = {.token = 44},
    .image_count = 2,
    .value_callback = CourseFlagValue,
};

KEL_RECORD IconElement GlideSlopeFlag = {
    .header = {.element_type = kIcon, .resource_id = 0x1067, .position = {186, 105},
               .offset = {0, 0}, .gauge_header = &DeviationGauge, .next_elements = nullptr,
               .draw_flags = kDrawFlags7},
    .source_var = {.token = 53},
    .image_count = 2,
    .value_callback = GlideSlopeFlagValue,
};

// Standalone variables; each is looked up right before it is read.
KEL_RECORD ModuleVar CourseDeviationVar     = {.token = 40};
KEL_RECORD ModuleVar CourseGateVar          = {.token = 49};
KEL_RECORD ModuleVar GlideSlopeDeviationVar = {.token = 41};
KEL_RECORD ModuleVar GlideSlopeGateVar      = {.token = 44};

// Help areas only, with a wider second parent and a third one over the centre.
KEL_RECORD MouseRect DeviationMouse[] = {
    Parent     ({ 0,  0,   0,  0}, 0xAB73),
    Parent     ({ 0,  0, 100, 80}, 0xAB73),
    EndOfParent(),
    Parent     ({82, 72,  30, 30}, 0xAB73),
    EndOfParent(),
    EndOfParent(),
    EndOfList  (),
};
}  // namespace

KEL_RECORD GaugeHeader DeviationGauge = MakeGaugeHeader("DEVIATION", DeviationRoot, DeviationMouse);

namespace {
extern StaticImageElement ObsFace;
extern StringElement ObsReadout;

ElementHeader* ObsRoot[]         = {&ObsFace.header, nullptr};
ElementHeader* ObsFaceChildren[] = {&ObsReadout.header, nullptr};

KEL_RECORD StaticImageElement ObsFace =
    MakeStaticImage(0x1069, &ObsGauge, ObsFaceChildren, kDrawBackground);

// Three digits over the window of the strip; tokens 567 and 421 are bound but never read.
KEL_RECORD StringElement ObsReadout =
    //          gauge      position  children  tokens           box      max  callback
    MakeTextBox(&ObsGauge, {57, 5},  nullptr,  {45, 567, 421},  85, 39,  3,   ObsCourseText);

// Knob halves send the course events; the R button calls the module. x = 175, 176 belong to neither.
KEL_RECORD MouseRect ObsMouse[] = {
    Parent       ({  0, 0,  0,  0}, 0xAB38),
    Parent       ({  0, 0, 38, 18}, 0xAB38),
    EndOfParent  (),
    KeyEventChild({152, 0, 23, 50}, kDownArrow, 0x1007E),
    KeyEventChild({177, 0, 23, 50}, kUpArrow,   0x1007F),
    FunctionChild({  0, 0, 50, 50}, ReciprocalCourseClick),
    EndOfParent  (),
    EndOfList    (),
};

constexpr uint32_t kCourseUpEvent = 0x1007F;
constexpr int kReciprocalSteps = 180;
}  // namespace

KEL_RECORD GaugeHeader ObsGauge = MakeGaugeHeader("OBS", ObsRoot, ObsMouse);

// Course bar: centred (0.0) while the gate is below 256; the deviation is looked up only
// when the gate passes, and handed on unclamped.
double __stdcall CourseBarX(MovingImageElement*) {
    Services()->LookupVar(&CourseGateVar);
    if (CourseGateVar.value < 256.0) return 0.0;
    Services()->LookupVar(&CourseDeviationVar);
    return CourseDeviationVar.value;
}

// Glide-slope bar: centred while the gate is 0.0 or below.
double __stdcall GlideSlopeBarY(MovingImageElement*) {
    Services()->LookupVar(&GlideSlopeGateVar);
    if (GlideSlopeGateVar.value <= 0.0) return 0.0;
    Services()->LookupVar(&GlideSlopeDeviationVar);
    return GlideSlopeDeviationVar.value;
}

// The fixed axis of both bars; its range is 0..0, so the host leaves it where it is.
double __stdcall UnityValue(MovingImageElement*) { return 1.0; }

// Striped image (1.0) while the course gate is below 256; hidden at exactly 256.
double __stdcall CourseFlagValue(IconElement*) {
    Services()->LookupVar(&CourseGateVar);
    return CourseGateVar.value < 256.0 ? 1.0 : 0.0;
}

// Shown only at a gate of exactly 0.0: a negative gate parks the bar but hides the flag.
double __stdcall GlideSlopeFlagValue(IconElement*) {
    Services()->LookupVar(&GlideSlopeGateVar);
    return GlideSlopeGateVar.value == 0.0 ? 1.0 : 0.0;
}

// Three digits with leading zeros, the format chosen on the double. Only -1 < v < 1000 has
// three digits; beyond that the number saturates so the text still fits max_chars (3):
// v <= -1 and -inf write "000", v >= 1000 and +inf write "999", NaN writes "---".
// Returns v unchanged.
double __stdcall ObsCourseText(StringElement* readout) {
    const double v = readout->source_vars[0].value;
    const char* format = v < 10.0 ? "00%d" : v < 100.0 ? "0%d" : "%d";
    WriteTruncated(readout->text_buffer, format, v, 0, 999, "---");
    return v;
}

// One click turns the course by 180 increment steps, sent one after another.
int32_t __stdcall ReciprocalCourseClick(uint32_t, uint32_t) {
    for (int step = 0; step < kReciprocalSteps; ++step)
        Services()->TriggerKeyEvent(kCourseUpEvent, 0);
    return 1;
}
