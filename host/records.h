// Host-facing records of the module frame: the import table, the linkage record,
// the gauge header and the host's service table. Layouts are fixed byte for byte by
// the host; every size and offset is checked below.
#pragma once
#include "elements/elements.h"

#pragma pack(push, 4)

// The host's table of service entries; entry n lies at byte 4 * n.
struct HostServices {
    void* entries_0_23[24];
    uint32_t (__stdcall* QueryElementList)(ElementHeader* root);                      // 24
    uint32_t (__stdcall* InstallElementList)(ElementHeader* root, uint32_t word);     // 25
    uint32_t (__stdcall* InitializeElementList)(ElementHeader* root);                 // 26
    uint32_t (__stdcall* UpdateElementList)(ElementHeader* root);                     // 27
    uint32_t (__stdcall* GenerateElementList)(ElementHeader* root, uint32_t word);    // 28
    uint32_t (__stdcall* DrawElementList)(ElementHeader* root);                       // 29
    void* entry_30;
    uint32_t (__stdcall* KillElementList)(ElementHeader* root);                       // 31
    void* entries_32_35[4];
    void (__stdcall* TriggerKeyEvent)(uint32_t event_id, uint32_t parameter);         // 36
    void* entries_37_39[3];
    void (__stdcall* LookupVar)(ModuleVar* var);                                      // 40
};
static_assert(offsetof(HostServices, QueryElementList) == 0x60);
static_assert(offsetof(HostServices, InstallElementList) == 0x64);
static_assert(offsetof(HostServices, InitializeElementList) == 0x68);
static_assert(offsetof(HostServices, UpdateElementList) == 0x6C);
static_assert(offsetof(HostServices, GenerateElementList) == 0x70);
static_assert(offsetof(HostServices, DrawElementList) == 0x74);
static_assert(offsetof(HostServices, KillElementList) == 0x7C);
static_assert(offsetof(HostServices, TriggerKeyEvent) == 0x90);
static_assert(offsetof(HostServices, LookupVar) == 0xA0);

// One request of the import table: the host writes its table for services_id here.
struct ImportEntry {
    uint32_t services_id;
    HostServices* services;
};

struct ImportTableRecord {
    ImportEntry entries[2];  // the request, then the all-zero end of the list
};
static_assert(sizeof(ImportTableRecord) == 16);
static_assert(offsetof(ImportTableRecord, entries[1]) == 0x08);

using GaugeRoutine     = uint32_t (__stdcall*)();
using GaugeWordRoutine = uint32_t (__stdcall*)(uint32_t word);

struct GaugeHeader {
    uint32_t header_version;            // +0x00
    const char* gauge_name;             // +0x04
    ElementHeader** element_list;       // +0x08  root, then null
    GaugeRoutine query;                 // +0x0C
    GaugeWordRoutine install;           // +0x10
    GaugeRoutine initialize;            // +0x14
    GaugeRoutine update;                // +0x18
    GaugeWordRoutine generate;          // +0x1C
    GaugeRoutine draw;                  // +0x20
    GaugeRoutine kill;                  // +0x24
    uint32_t reserved_28;               // +0x28
    uint32_t size_x_mm;                 // +0x2C
    uint8_t host_30[32];                // +0x30
    MouseRect* mouse_rects;             // +0x50
    uint8_t host_54[124];               // +0x54
};
static_assert(sizeof(GaugeHeader) == 208);
static_assert(offsetof(GaugeHeader, gauge_name) == 0x04);
static_assert(offsetof(GaugeHeader, element_list) == 0x08);
static_assert(offsetof(GaugeHeader, query) == 0x0C);
static_assert(offsetof(GaugeHeader, kill) == 0x24);
static_assert(offsetof(GaugeHeader, size_x_mm) == 0x2C);
static_assert(offsetof(GaugeHeader, mouse_rects) == 0x50);
static_assert(offsetof(GaugeHeader, host_54) == 0x54);

constexpr int kGaugeCount = 17;

struct LinkageRecord {
    uint32_t module_id;                         // +0x00
    void (__stdcall* module_init)();            // +0x04
    void (__stdcall* module_deinit)();          // +0x08
    uint32_t module_flags;                      // +0x0C
    uint32_t module_priority;                   // +0x10
    uint32_t module_version;                    // +0x14
    GaugeHeader* gauge_table[kGaugeCount + 1];  // +0x18, null-terminated, stored in place
};
static_assert(sizeof(LinkageRecord) == 96);
static_assert(offsetof(LinkageRecord, gauge_table) == 0x18);
static_assert(offsetof(LinkageRecord, gauge_table[kGaugeCount]) == 0x5C);

#pragma pack(pop)

// Records the host reads are writable and start on 8-byte boundaries.
#define KEL_RECORD alignas(8)

extern "C" {
extern ImportTableRecord ImportTable;
extern LinkageRecord Linkage;
}

// The host's service table, read afresh from the import table at every call.
inline HostServices* Services() {
    return *static_cast<HostServices* volatile*>(&ImportTable.entries[0].services);
}

// The seven routines every gauge header carries; they always act on gauge-table slot 1.
uint32_t __stdcall GaugeQuery();
uint32_t __stdcall GaugeInstall(uint32_t word);
uint32_t __stdcall GaugeInitialize();
uint32_t __stdcall GaugeUpdate();
uint32_t __stdcall GaugeGenerate(uint32_t word);
uint32_t __stdcall GaugeDraw();
uint32_t __stdcall GaugeKill();

// A gauge header as every gauge has it; only the name, root list and mouse list differ.
constexpr GaugeHeader MakeGaugeHeader(const char* name, ElementHeader** element_list,
                                      MouseRect* mouse_rects) {
    return GaugeHeader{
        .header_version = 800,
        .gauge_name = name,
        .element_list = element_list,
        .query = GaugeQuery,
        .install = GaugeInstall,
        .initialize = GaugeInitialize,
        .update = GaugeUpdate,
        .generate = GaugeGenerate,
        .draw = GaugeDraw,
        .kill = GaugeKill,
        .reserved_28 = 0,
        .size_x_mm = 100,
        .host_30 = {},
        .mouse_rects = mouse_rects,
        .host_54 = {},
    };
}
