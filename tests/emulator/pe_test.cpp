// PE32 reader: what it finds in a good DLL, and the one-line error for each kind of bad file.
#include <functional>

#include "support.h"

using namespace gaugehost;

namespace {

TEST(PeReader, FindsExportsImportsRelocationsAndResourcesOfAGoodDll) {
    auto bytes = fixtures::bytes_of(fixtures::low);
    PeImage pe = read_pe(bytes);
    EXPECT_EQ(pe.preferred_base, 0x20000000u);
    EXPECT_EQ(pe.export_dll_name, "fixture_low.dll");
    const Export* add = pe.find_export("Add");
    ASSERT_NE(add, nullptr);
    const Export* same = pe.find_export(add->ordinal);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->rva, add->rva);
    EXPECT_EQ(pe.find_export("NoSuchExport"), nullptr);
    ASSERT_EQ(pe.imports.size(), 1u);
    EXPECT_EQ(pe.imports[0].full_name(), "USER32.dll!wsprintfA");
    EXPECT_FALSE(pe.relocations.empty());

    const Resource* raw = pe.find_resource(10, 0x1234);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->language, 1033u);
    auto data = pe.resource_bytes(*raw);
    EXPECT_EQ(std::string(data.begin(), data.begin() + 17), "raw fixture bytes");

    auto v = pe.version();
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(VersionInfo::dotted(v->file_version_ms, v->file_version_ls), "2.3.4.5");
    EXPECT_EQ(VersionInfo::dotted(v->product_version_ms, v->product_version_ls), "6.7.8.9");
    EXPECT_EQ(v->file_type, 2u);
    EXPECT_EQ(v->string_table, "040904b0");
    ASSERT_EQ(v->strings.size(), 2u);
    EXPECT_EQ(v->strings[0], (std::pair<std::string, std::string>{"FileDescription", "Fixture DLL"}));
    EXPECT_EQ(v->strings[1], (std::pair<std::string, std::string>{"ProductName", "Fixture"}));
    EXPECT_EQ(v->translations, std::vector<uint32_t>{0x04B00409u});
}

TEST(PeReader, RelocatePatchesEveryRelocatedWordByTheDistanceMoved) {
    auto bytes = fixtures::bytes_of(fixtures::low);
    PeImage pe = read_pe(bytes);
    PeImage moved = pe;
    moved.relocate(0x20000000 + 0x05430000);
    EXPECT_EQ(moved.base, 0x25430000u);
    ByteReader before(pe.image, "before"), after(moved.image, "after");
    for (uint32_t rva : pe.relocations)
        EXPECT_EQ(after.u32(rva, "w"), before.u32(rva, "w") + 0x05430000u) << hex(rva);
}

struct BadFile {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> mutate;
    const char* expected;  // a part of the one-line error
};

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b.at(at) = uint8_t(v);
    b.at(at + 1) = uint8_t(v >> 8);
}

// Offset in the file of the first relocation block (its page RVA, then its size).
uint32_t reloc_block(const std::vector<uint8_t>& b) { return fixtures::section_file_offset(b, ".reloc"); }

// Offset in the file of the resource data entry of the raw resource (data RVA, size).
size_t resource_entry(const std::vector<uint8_t>& b) {
    PeImage pe = read_pe(b);
    const Resource* r = pe.find_resource(10, 0x1234);
    uint8_t pattern[8];
    put_u32(pattern, r->data_rva);
    put_u32(pattern + 4, r->size);
    auto it = std::search(b.begin(), b.end(), pattern, pattern + 8);
    return size_t(it - b.begin());
}

const BadFile kBadFiles[] = {
    {"EmptyFile", [](auto& b) { b.clear(); }, "not a PE file: no MZ signature"},
    {"TextFile", [](auto& b) { b.assign({'h', 'e', 'l', 'l', 'o', '\n'}); }, "not a PE file: no MZ signature"},
    {"CutInDosHeader", [](auto& b) { b.resize(0x3E); }, "PE file is truncated: DOS header e_lfanew"},
    {"CutInPeSignature", [](auto& b) { b.resize(fixtures::pe_offset(b) + 2); }, "PE file is truncated: PE signature"},
    {"CutInCoffHeader", [](auto& b) { b.resize(fixtures::pe_offset(b) + 12); }, "PE file is truncated: COFF header"},
    {"CutInOptionalHeader", [](auto& b) { b.resize(fixtures::pe_offset(b) + 24 + 100); }, "PE file is truncated: optional header"},
    {"CutInSectionTable", [](auto& b) { b.resize(fixtures::pe_offset(b) + 24 + 224 + 50); },
     "PE file is truncated: headers at offset 0x0 (1024 bytes)"},
    {"CutInSectionData", [](auto& b) { b.resize(fixtures::section_file_offset(b, ".text") + 16); },
     "PE file is truncated: section .text data"},
    {"NoPeSignature", [](auto& b) { b.at(fixtures::pe_offset(b)) = 'X'; }, "not a PE file: no PE signature at offset"},
    {"NotI386", [](auto& b) { put16(b, fixtures::pe_offset(b) + 4, 0x8664); },
     "not an i386 module: COFF machine is 0x8664, expected 0x14C"},
    {"Pe32Plus", [](auto& b) { put16(b, fixtures::pe_offset(b) + 24, 0x20B); },
     "not a PE32 module: optional header magic is 0x20B, expected 0x10B"},
    {"NotADll", [](auto& b) { put16(b, fixtures::pe_offset(b) + 22, 0x0102); }, "not a DLL"},
    {"RelocationOutsideImage", [](auto& b) { put_u32(&b.at(reloc_block(b)), 0x7FFF0000); },
     "relocation outside the image: RVA 0x7FFF"},
    {"UnsupportedRelocationType", [](auto& b) { put16(b, reloc_block(b) + 8, uint16_t(0xA000 | 0x10)); },
     "unsupported relocation type 10"},
    {"RelocationBlockTooLong", [](auto& b) { put_u32(&b.at(reloc_block(b) + 4), 0x10000); }, "relocation block"},
    {"ResourceOutsideImage", [](auto& b) { put_u32(&b.at(resource_entry(b)), 0x00FFFF00); },
     "bad resource: data of resource type 10 id 0x1234"},
    {"EntryOutsideImage", [](auto& b) { put_u32(&b.at(fixtures::pe_offset(b) + 24 + 16), 0x00FFFF00); },
     "entry point RVA 0xFFFF00 lies outside the image"},
};

class BadPeFile : public testing::TestWithParam<BadFile> {};

TEST_P(BadPeFile, IsRefusedWithItsOwnOneLineError) {
    auto bytes = fixtures::bytes_of(fixtures::low);
    GetParam().mutate(bytes);
    try {
        read_pe(bytes);
        FAIL() << "accepted";
    } catch (const Error& e) {
        std::string what = e.what();
        EXPECT_NE(what.find(GetParam().expected), std::string::npos) << what;
        EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BadPeFile, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PeReader, EveryTruncationIsAnErrorNeverACrash) {
    auto bytes = fixtures::bytes_of(fixtures::low);
    // Bytes past the last section's data are file-alignment padding nobody reads.
    size_t needed = 0;
    for (const Section& s : read_pe(bytes).sections)
        needed = std::max<size_t>(needed, s.raw_size ? s.raw_offset + std::min(s.raw_size, s.virtual_size) : 0);
    for (size_t cut = 0; cut < needed; cut += 7) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_THROW(read_pe(part), Error) << "cut at " << cut;
    }
}

}  // namespace
