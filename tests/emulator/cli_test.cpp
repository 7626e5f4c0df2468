// The gaugehost CLI: exit codes 0/1/2 and one-line errors.
#include <sys/wait.h>

#include <cstdio>

#include "support.h"

namespace {

struct CliRun {
    int code;
    std::string output;  // stdout and stderr together
};

CliRun run(const std::string& args) {
    std::string cmd = std::string(GAUGEHOST_CLI) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    CliRun r{-1, ""};
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

struct CliCase {
    const char* name;
    std::string args;
    int code;
    const char* expected;
};

std::string not_i386() {
    auto b = fixtures::bytes_of(fixtures::low);
    uint32_t at = fixtures::pe_offset(b) + 4;
    b[at] = 0x64;
    b[at + 1] = 0x86;
    return fixtures::write_temp(b, "cli_not_i386.dll");
}

std::string truncated() {
    auto b = fixtures::bytes_of(fixtures::mini);
    b.resize(0x100);
    return fixtures::write_temp(b, "cli_truncated.gau");
}

std::string unknown_import() {
    auto b = fixtures::bytes_of(fixtures::mini);
    fixtures::replace_text(b, "wsprintfA", "wsprintfW");
    return fixtures::write_temp(b, "cli_unknown_import.gau");
}

std::string relocation_outside() {
    auto b = fixtures::bytes_of(fixtures::mini);
    uint32_t block = fixtures::section_file_offset(b, ".reloc");
    b[block + 3] = 0x7F;  // page RVA far past the image
    return fixtures::write_temp(b, "cli_relocation_outside.gau");
}

class Cli : public testing::TestWithParam<CliCase> {};

TEST_P(Cli, ExitsWithItsCodeAndSaysWhy) {
    const CliCase& c = GetParam();
    CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << r.output;
    EXPECT_NE(r.output.find(c.expected), std::string::npos) << r.output;
    if (c.code == 2) EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << "one line: " << r.output;
}

const std::string mini = fixtures::mini;

INSTANTIATE_TEST_SUITE_P(
    Cases, Cli,
    testing::Values(CliCase{"NoArguments", "", 1, "usage: gaugehost COMMAND"},
                    CliCase{"Help", "--help", 0, "commands:"},
                    CliCase{"CommandHelp", "update --help", 0, "--set VALUE"},
                    CliCase{"UnknownCommand", "frobnicate", 1, "unknown command \"frobnicate\"; commands: info, update"},
                    CliCase{"MissingModule", "info", 1, "info takes one module file"},
                    CliCase{"UnknownOption", "info " + mini + " --bogus", 1, "unknown option --bogus for info; valid:"},
                    CliCase{"BadBaseNumber", "info " + mini + " --base zz", 1, "--base \"zz\" is not a 32-bit unsigned number"},
                    CliCase{"NoSuchFile", "info /nonexistent/KEL.gau", 2, "cannot open module file /nonexistent/KEL.gau"},
                    CliCase{"NotI386", "info " + not_i386(), 2, "not an i386 module: COFF machine is 0x8664"},
                    CliCase{"Truncated", "info " + truncated(), 2, "PE file is truncated"},
                    CliCase{"UnknownImport", "info " + unknown_import(), 2, "unknown import USER32.dll!wsprintfW"},
                    CliCase{"RelocationOutside", "info " + relocation_outside(), 2, "relocation outside the image"},
                    CliCase{"NotAGaugeModule", "info " + fixtures::low, 2, "missing export Linkage"},
                    CliCase{"UnalignedBase", "info " + mini + " --base 0x20001000", 2, "multiple of 0x10000"},
                    CliCase{"Info", "info " + mini, 0, "1 \"MINI\" header"},
                    CliCase{"InfoJson", "info " + mini + " --json --verbose", 0, "\"memory_map\""},
                    CliCase{"InfoMoved", "info " + mini + " --base 0x40000000", 0, "base 0x40000000 (preferred 0x20000000)"},
                    CliCase{"UpdateNeedsGauge", "update " + mini, 1, "update needs --gauge NAME"},
                    CliCase{"UnknownGauge", "update " + mini + " --gauge NOPE", 1, "unknown gauge \"NOPE\"; the module has: MINI"},
                    CliCase{"BadSet", "update " + mini + " --gauge MINI --set 12", 1, "--set \"12\" is not TOKEN=VALUE"},
                    CliCase{"BadSetValue", "update " + mini + " --gauge MINI --set 1=abc", 1, "value \"abc\" is not a number"},
                    CliCase{"Update", "update " + mini + " --gauge MINI --set 1=42 --set 2=1 --set 7=2", 0,
                            "[1] string at 0x200021A0 text \"42\" value 42"},
                    CliCase{"UpdateJson", "update " + mini + " --gauge MINI --set 1=42 --json", 0, "\"text\": \"42\""},
                    CliCase{"UpdateOverrun", "update " + mini + " --gauge MINI --set 1=5000", 2, "wrote past its text buffer"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
