// The seven routines shared by every gauge header. Each forwards to its element-list
// service with the root of gauge-table slot 1, whichever header the host called it
// through; nothing is cached between calls.
#include "host/records.h"

static ElementHeader* SlotOneRoot() { return Linkage.gauge_table[0]->element_list[0]; }

uint32_t __stdcall GaugeQuery() {
    ElementHeader* root = SlotOneRoot();
    return Services()->QueryElementList(root);
}
uint32_t __stdcall GaugeInstall(uint32_t word) {
    ElementHeader* root = SlotOneRoot();
    return Services()->InstallElementList(root, word);
}
uint32_t __stdcall GaugeInitialize() {
    ElementHeader* root = SlotOneRoot();
    return Services()->InitializeElementList(root);
}
uint32_t __stdcall GaugeUpdate() {
    ElementHeader* root = SlotOneRoot();
    return Services()->UpdateElementList(root);
}
uint32_t __stdcall GaugeGenerate(uint32_t word) {
    ElementHeader* root = SlotOneRoot();
    return Services()->GenerateElementList(root, word);
}
uint32_t __stdcall GaugeDraw() {
    ElementHeader* root = SlotOneRoot();
    return Services()->DrawElementList(root);
}
uint32_t __stdcall GaugeKill() {
    ElementHeader* root = SlotOneRoot();
    return Services()->KillElementList(root);
}
