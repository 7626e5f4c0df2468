// Element records, variables, calibration points and mouse rectangles: the building
// blocks of every gauge. The host reads and writes these in place, so every layout is
// fixed to the byte; the static_asserts below pin each size and offset.
#pragma once

typedef unsigned char  uint8_t;
typedef unsigned short uint16_t;
typedef unsigned int   uint32_t;
typedef int            int32_t;
typedef unsigned long long uint64_t;
typedef unsigned int   size_t;
#define offsetof(type, member) __builtin_offsetof(type, member)

static_assert(sizeof(void*) == 4, "the module is a 32-bit image");

struct GaugeHeader;

#pragma pack(push, 4)

// A host variable binding; the host keeps `value` current for `token`.
struct ModuleVar {
    uint32_t token;            // +0x00; 0 binds nothing
    uint32_t host_04;
    uint32_t host_08;
    double value;              // +0x0C
    uint8_t host_14[8];
};
static_assert(sizeof(ModuleVar) == 28);
static_assert(offsetof(ModuleVar, value) == 0x0C);

// element_type values
enum ElementKind : uint32_t {
    kStaticImage = 0,
    kNeedle      = 1,
    kString      = 2,
    kIcon        = 4,
    kMovingImage = 5,
    kSprite      = 6,
};

struct PixelPoint {
    int32_t x;
    int32_t y;
};

struct ElementHeader {
    uint32_t element_type;          // +0x00
    uint32_t resource_id;           // +0x04
    PixelPoint position;            // +0x08, in the root bitmap's pixels at any depth
    PixelPoint host_10;             // +0x10
    PixelPoint offset;              // +0x18
    GaugeHeader* gauge_header;      // +0x20
    void* host_24;                  // +0x24
    ElementHeader** next_elements;  // +0x28, child list (element, null) or null for a leaf
    void* reserved_2c;              // +0x2C
    uint32_t draw_flags;            // +0x30
    uint32_t reserved_34;
    uint32_t reserved_38;
};
static_assert(sizeof(ElementHeader) == 60);
static_assert(offsetof(ElementHeader, resource_id) == 0x04);
static_assert(offsetof(ElementHeader, position) == 0x08);
static_assert(offsetof(ElementHeader, offset) == 0x18);
static_assert(offsetof(ElementHeader, gauge_header) == 0x20);
static_assert(offsetof(ElementHeader, next_elements) == 0x28);
static_assert(offsetof(ElementHeader, draw_flags) == 0x30);

// draw_flags values the module stores
enum DrawFlags : uint32_t {
    kDrawBackground = 1,
    kDrawFlags3     = 3,
    kDrawFlags5     = 5,
    kDrawFlags7     = 7,
};

struct StaticImageElement {
    ElementHeader header;
    uint8_t host_3c[36];
};
static_assert(sizeof(StaticImageElement) == 96);

struct NeedleElement;
struct StringElement;
struct IconElement;
struct MovingImageElement;

// Value callbacks take their own element and return a double; all are __stdcall.
using NeedleCallback      = double (__stdcall*)(NeedleElement* element);
using StringCallback      = double (__stdcall*)(StringElement* element);
using IconCallback        = double (__stdcall*)(IconElement* element);
using MovingImageCallback = double (__stdcall*)(MovingImageElement* element);

// Mouse functions receive two host words, which the module ignores, and return 1.
using MouseFunction = int32_t (__stdcall*)(uint32_t host_word_1, uint32_t host_word_2);

struct NonlinearityPoint {
    int32_t x;          // dial point in the root bitmap
    int32_t y;
    double value;       // the value for which the needle points at (x, y)
    uint8_t degrees[8]; // the host's
};
static_assert(sizeof(NonlinearityPoint) == 24);
static_assert(offsetof(NonlinearityPoint, value) == 0x08);
static_assert(offsetof(NonlinearityPoint, degrees) == 0x10);

struct NeedleElement {
    ElementHeader header;
    ModuleVar source_var;                   // +0x3C
    uint8_t host_58[24];
    NonlinearityPoint* nonlinearity_table;  // +0x70
    uint32_t nonlinearity_count;            // +0x74
    int32_t max_degrees_per_tick;           // +0x78
    uint8_t host_7c[100];
    NeedleCallback value_callback;          // +0xE0
    uint8_t host_e4[8];
};
static_assert(sizeof(NeedleElement) == 236);
static_assert(offsetof(NeedleElement, source_var) == 0x3C);
static_assert(offsetof(NeedleElement, source_var.value) == 0x48);
static_assert(offsetof(NeedleElement, nonlinearity_table) == 0x70);
static_assert(offsetof(NeedleElement, nonlinearity_count) == 0x74);
static_assert(offsetof(NeedleElement, max_degrees_per_tick) == 0x78);
static_assert(offsetof(NeedleElement, value_callback) == 0xE0);

// COLORREF values, 0x00BBGGRR
enum Colour : uint32_t {
    kWhite    = 0x00FFFFFF,
    kBlack    = 0x00000000,
    kGrey92   = 0x005C5C5C,
};

struct StringElement {
    ElementHeader header;
    ModuleVar source_vars[3];       // +0x3C, +0x58, +0x74
    uint8_t host_90[40];
    char* text_buffer;              // +0xB8, the host's buffer of max_chars + 1
    uint8_t host_bc[4];
    int32_t box_size[2];            // +0xC0, width then height
    uint8_t host_c8[8];
    uint32_t fore_color;            // +0xD0
    uint32_t back_color;            // +0xD4
    uint32_t highlight_color;       // +0xD8
    uint8_t host_dc[28];
    char font_name[32];             // +0xF8
    int32_t font_weight;            // +0x118
    uint32_t font_charset;          // +0x11C
    uint32_t text_format;           // +0x120
    uint32_t max_chars;             // +0x124
    uint8_t host_128[16];
    StringCallback value_callback;  // +0x138
    uint8_t host_13c[8];
};
static_assert(sizeof(StringElement) == 324);
static_assert(offsetof(StringElement, source_vars[1]) == 0x58);
static_assert(offsetof(StringElement, source_vars[2]) == 0x74);
static_assert(offsetof(StringElement, text_buffer) == 0xB8);
static_assert(offsetof(StringElement, box_size) == 0xC0);
static_assert(offsetof(StringElement, fore_color) == 0xD0);
static_assert(offsetof(StringElement, highlight_color) == 0xD8);
static_assert(offsetof(StringElement, font_name) == 0xF8);
static_assert(offsetof(StringElement, font_weight) == 0x118);
static_assert(offsetof(StringElement, text_format) == 0x120);
static_assert(offsetof(StringElement, max_chars) == 0x124);
static_assert(offsetof(StringElement, value_callback) == 0x138);

struct IconElement {
    ElementHeader header;           // resource_id is image 0; image k is resource_id + k
    ModuleVar source_var;           // +0x3C
    uint8_t host_58[24];
    uint32_t image_count;           // +0x70
    uint8_t host_74[16];
    IconCallback value_callback;    // +0x84
    uint8_t host_88[4];
};
static_assert(sizeof(IconElement) == 140);
static_assert(offsetof(IconElement, image_count) == 0x70);
static_assert(offsetof(IconElement, value_callback) == 0x84);

struct MovingImageElement {
    ElementHeader header;           // resource_id is the image, + 1 its mask
    ModuleVar x_var;                // +0x3C
    uint8_t host_58[4];
    double x_min;                   // +0x5C
    double x_max;                   // +0x64
    uint8_t host_6c[4];
    ModuleVar y_var;                // +0x70
    uint8_t host_8c[4];
    double y_min;                   // +0x90
    double y_max;                   // +0x98
    uint8_t host_a0[84];
    MovingImageCallback x_callback; // +0xF4
    MovingImageCallback y_callback; // +0xF8
    uint8_t host_fc[16];
};
static_assert(sizeof(MovingImageElement) == 268);
static_assert(offsetof(MovingImageElement, x_min) == 0x5C);
static_assert(offsetof(MovingImageElement, x_max) == 0x64);
static_assert(offsetof(MovingImageElement, y_var) == 0x70);
static_assert(offsetof(MovingImageElement, y_min) == 0x90);
static_assert(offsetof(MovingImageElement, y_max) == 0x98);
static_assert(offsetof(MovingImageElement, x_callback) == 0xF4);
static_assert(offsetof(MovingImageElement, y_callback) == 0xF8);

// One sprite input: a variable, four host bytes and its scale, 40 bytes in all.
struct SpriteInput {
    ModuleVar var;
    uint8_t host[4];
    double scale;
};
static_assert(sizeof(SpriteInput) == 40);

struct SpriteElement {
    ElementHeader header;           // resource_id is the texture, + 1 its mask
    SpriteInput x;                  // +0x3C
    SpriteInput y;                  // +0x64
    SpriteInput rotation;           // +0x8C
    float texture_scale_x;          // +0xB4
    float texture_scale_y;          // +0xB8
    uint8_t host_bc[164];
};
static_assert(sizeof(SpriteElement) == 352);
static_assert(offsetof(SpriteElement, x.scale) == 0x5C);
static_assert(offsetof(SpriteElement, y) == 0x64);
static_assert(offsetof(SpriteElement, y.scale) == 0x84);
static_assert(offsetof(SpriteElement, rotation) == 0x8C);
static_assert(offsetof(SpriteElement, rotation.scale) == 0xAC);
static_assert(offsetof(SpriteElement, texture_scale_x) == 0xB4);
static_assert(offsetof(SpriteElement, texture_scale_y) == 0xB8);

// rect_type values
enum RectType : uint32_t {
    kEndOfList   = 0,
    kParent      = 1,
    kChild       = 2,
    kEndOfParent = 3,
};

// cursor and mouse_flags codes the host understands
enum Cursor : int32_t {
    kNoCursor   = -1,
    kUpArrow    = 1,
    kDownArrow  = 2,
    kHand       = 5,
};
enum MouseFlags : uint32_t {
    kClick          = 0x20000000,
    kRepeatingClick = 0x20200000,
};

struct MouseBox {
    int32_t x, y, width, height;
};

struct MouseRect {
    uint32_t rect_type;             // +0x00
    MouseBox box;                   // +0x04
    int32_t cursor;                 // +0x14
    uint32_t help_id;               // +0x18
    uint32_t mouse_flags;           // +0x1C
    uint32_t event_id;              // +0x20
    MouseFunction mouse_function;   // +0x24
    uint32_t host_28;
};
static_assert(sizeof(MouseRect) == 44);
static_assert(offsetof(MouseRect, box) == 0x04);
static_assert(offsetof(MouseRect, cursor) == 0x14);
static_assert(offsetof(MouseRect, help_id) == 0x18);
static_assert(offsetof(MouseRect, mouse_flags) == 0x1C);
static_assert(offsetof(MouseRect, event_id) == 0x20);
static_assert(offsetof(MouseRect, mouse_function) == 0x24);

#pragma pack(pop)

// Rows of a mouse list, as the host reads them.
constexpr MouseRect Parent(MouseBox box, uint32_t help_id) {
    return {kParent, box, kNoCursor, help_id, 0, 0, nullptr, 0};
}
constexpr MouseRect EndOfParent() { return {kEndOfParent, {}, kNoCursor, 0, 0, 0, nullptr, 0}; }
constexpr MouseRect EndOfList() { return {kEndOfList, {}, kNoCursor, 0, 0, 0, nullptr, 0}; }
constexpr MouseRect KeyEventChild(MouseBox box, Cursor cursor, uint32_t event_id) {
    return {kChild, box, cursor, 0, kRepeatingClick, event_id, nullptr, 0};
}
constexpr MouseRect FunctionChild(MouseBox box, MouseFunction function) {
    return {kChild, box, kHand, 0, kClick, 0, function, 0};
}

// The list of a gauge without click areas: its help id on two nested parents.
struct HelpOnlyMouseList {
    MouseRect rects[5];
};
constexpr HelpOnlyMouseList MakeHelpOnlyMouseList(uint32_t help_id) {
    return {{
        Parent({0, 0, 0, 0}, help_id),
        Parent({0, 0, 38, 18}, help_id),
        EndOfParent(),
        EndOfParent(),
        EndOfList(),
    }};
}

// A gauge background: a static image at (0, 0) whose child list holds the next element.
constexpr StaticImageElement MakeStaticImage(uint32_t resource_id, GaugeHeader* gauge,
                                             ElementHeader** next, uint32_t draw_flags) {
    return StaticImageElement{
        .header = {.element_type = kStaticImage, .resource_id = resource_id, .position = {0, 0},
                   .host_10 = {}, .offset = {0, 0}, .gauge_header = gauge, .host_24 = nullptr,
                   .next_elements = next, .reserved_2c = nullptr, .draw_flags = draw_flags,
                   .reserved_34 = 0, .reserved_38 = 0},
        .host_3c = {},
    };
}

// Callback helpers shared by every gauge.
inline double OwnValue(const ModuleVar& var) { return var.value; }

// A text field as the module's two have them: white bold Arial on black, centred on one
// line (DrawText 0x01 | 0x04 | 0x20), with the grey highlight; three bound variables, of
// which the callback reads only the first.
constexpr StringElement MakeTextBox(GaugeHeader* gauge, PixelPoint position, ElementHeader** next,
                                    const uint32_t (&tokens)[3], int32_t width, int32_t height,
                                    uint32_t max_chars, StringCallback callback) {
    return StringElement{
        .header = {.element_type = kString, .resource_id = 0xFFFFFFFF, .position = position,
                   .host_10 = {}, .offset = {0, 0}, .gauge_header = gauge, .host_24 = nullptr,
                   .next_elements = next, .reserved_2c = nullptr, .draw_flags = kDrawFlags7,
                   .reserved_34 = 0, .reserved_38 = 0},
        .source_vars = {{.token = tokens[0]}, {.token = tokens[1]}, {.token = tokens[2]}},
        .text_buffer = nullptr,
        .box_size = {width, height},
        .fore_color = kWhite,
        .back_color = kBlack,
        .highlight_color = kGrey92,
        .font_name = "Arial",
        .font_weight = 700,
        .font_charset = 1,
        .text_format = 0x25,
        .max_chars = max_chars,
        .value_callback = callback,
    };
}
