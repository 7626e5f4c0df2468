// Clicks hit-tested as the host does, and scenarios played through one loaded module:
// the knob gaps, the stopwatch replayed from scenarios/stopwatch.json, scenario faults,
// and the gaugehost `click` and `run` commands.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gaugehost.h"
#include "scenario.h"

using namespace gaugehost;

namespace {

const std::filesystem::path kSourceRoot = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
const std::string kStopwatchScenario = (kSourceRoot / "scenarios" / "stopwatch.json").string();
// The CLI lands at the top of the build tree; the module one level down.
const std::string kCli = (std::filesystem::path(KEL_GAU_PATH).parent_path().parent_path() / "gaugehost").string();

struct CommandResult {
    int status;
    std::string output;
};

CommandResult RunCli(const std::string& args) {
    std::string cmd = kCli + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return {-1, "popen failed"};
    std::string out;
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace

// Only children are areas, each [x, x+w) x [y, y+h); the columns between knob halves
// and the parents' help boxes belong to no area.
TEST(ClickHitTest, HalfOpenChildBoxesWithGapsBetweenKnobHalves) {
    struct Case {
        const char* gauge;
        int32_t x, y;
        std::optional<int> entry;
    };
    const Case cases[] = {
        {"KOHLSMAN",   0,   0,   3}, {"KOHLSMAN",  21,  44,  3}, {"KOHLSMAN",  22,  0, {}},
        {"KOHLSMAN",  22,  44, {}},  {"KOHLSMAN",  23,   0,  4}, {"KOHLSMAN",  44, 44,  4},
        {"KOHLSMAN",  45,  10, {}},  {"KOHLSMAN",  10,  45, {}}, {"KOHLSMAN",  -1, 10, {}},
        {"HEADINGBUG", 21, 10,  3},  {"HEADINGBUG", 22, 10, {}}, {"HEADINGBUG", 23, 10,  4},
        {"OBS",      152,   0,   3}, {"OBS",      174,  49,  3}, {"OBS",      175, 10, {}},
        {"OBS",      176,  10, {}},  {"OBS",      177,   0,  4}, {"OBS",      199, 49,  4},
        {"OBS",      200,  10, {}},  {"OBS",        0,   0,  5}, {"OBS",       49, 49,  5},
        {"OBS",       50,  10, {}},
        {"Clock",    304,  12,   3}, {"Clock",    393, 101,  3}, {"Clock",    394, 50, {}},
        {"Clock",    303,  50, {}},  {"Clock",    350, 102, {}}, {"Clock",     28, 300, 4},
        {"Clock",    102, 374,   4}, {"Clock",    103, 300, {}}, {"Clock",     50, 375, {}},
        {"Clock",     10,  10, {}},   // inside the help parent, which is no area
        {"AIRSPEED",  10,  10, {}},  {"AIRSPEED",   0,   0, {}},
    };
    Host host(KEL_GAU_PATH);
    for (const Case& c : cases)
        EXPECT_EQ(hit_test(host.gauge(c.gauge), c.x, c.y), c.entry) << c.gauge << " (" << c.x << ", " << c.y << ")";
}

TEST(ClickHitTest, KnobHalvesMoveTheirVariableAndTheGapSendsNothing) {
    struct Case {
        const char* gauge;
        int32_t x;
        uint32_t token;
        double before, after;
        size_t events;
    };
    const Case cases[] = {
        {"KOHLSMAN",   10, 75,  1013.0, 1012.0, 1},
        {"KOHLSMAN",   30, 75,  1013.0, 1014.0, 1},
        {"KOHLSMAN",   22, 75,  1013.0, 1013.0, 0},
        {"HEADINGBUG", 10, 855, 0.0,    359.0,  1},
        {"HEADINGBUG", 30, 855, 359.0,  0.0,    1},
        {"HEADINGBUG", 22, 855, 10.0,   10.0,   0},
    };
    for (const Case& c : cases) {
        Host host(KEL_GAU_PATH);
        host.set(c.token, c.before);
        ClickOutcome out = click_at(host, c.gauge, c.x, 20);
        SCOPED_TRACE(std::string(c.gauge) + " x " + std::to_string(c.x));
        EXPECT_EQ(host.get(c.token), c.after);
        EXPECT_EQ(out.key_events.size(), c.events);
        EXPECT_EQ(out.entry.has_value(), c.events != 0);
        EXPECT_TRUE(host.service_calls().empty()) << "a key-event area does not call the module";
    }
}

TEST(ClickHitTest, ButtonsCallTheModule) {
    Host host(KEL_GAU_PATH);
    host.set(45, 90.0);
    ClickOutcome obs = click_at(host, "OBS", 25, 25);
    EXPECT_EQ(obs.result, 1u);
    EXPECT_EQ(obs.key_events.size(), 180u);
    EXPECT_EQ(host.get(45), 270.0);

    host.set(557, 1000.0);
    ClickOutcome start = click_at(host, "Clock", 350, 50);
    ASSERT_EQ(start.entry, 3);
    EXPECT_EQ(start.result, 1u);
    ASSERT_EQ(start.service_calls.size(), 1u);
    EXPECT_EQ(start.service_calls[0].entry, service::kLookupVar);
    host.set(557, 1030.0);
    EXPECT_EQ(host.call_callback("Clock", 4).value, 180.0);
}

// The stopwatch's worked examples, end to end, as scenarios/stopwatch.json plays them:
// step, instance of the Clock shown in that step, counter and seconds hands.
TEST(Scenario, StopwatchFileReplaysTheExamples) {
    struct Shown {
        int step, instance;
        double counter, seconds;
    };
    const Shown expected[] = {
        {1, 0, 0.0, 0.0},           // idle after load
        {3, 0, 0.0, 180.0},         // running 30 s; this counter came before the seconds hand
        {3, 1, 12.0, 180.0},        // the second Clock shows the first's 30 s
        {4, 0, 12.0, 264.0},        // last evaluation at 44 s
        {6, 0, 17.6, 264.0},        // stopped: 44 s held
        {8, 0, 17.6, 330.0},        // resumed: 55 s
        {8, 1, 22.0, 330.0},
        {9, 0, 22.0, 330.0},        // second stop
        {11, 0, 22.0, 690.0},       // 85 s of pauses
        {11, 1, 46.0, 690.0},
        {12, 0, 0.0, 0.0},          // reset while resumed
        {13, 0, 0.0, 0.0},          // a click in no area
        {15, 0, 0.0, -60.0},        // negative while running
        {15, 1, -4.0, -60.0},
        {16, 0, 0.0, 0.0},          // reset while running
        {20, 0, 0.0, 0.0},          // exactly zero while resumed
        {21, 0, 0.0, 330.0},        // -5 becomes 55
        {21, 1, 22.0, 330.0},
        {22, 0, 22.0, -90.0},       // -75 becomes -15
        {22, 1, -6.0, -90.0},
        {23, 0, 0.0, 0.0},          // reset while stopped
        {24, 0, 0.0, 0.0},          // reset while idle
        {26, 0, 0.0, 2340.0},
        {29, 0, 156.0, 2040.0},     // negative pause corrected once
        {29, 1, 136.0, 2040.0},
        {32, 0, 0.0, 2340.0},
        {33, 0, 156.0, -515940.0},  // midnight while running
        {33, 1, -34396.0, -515940.0},
        {38, 0, 0.0, 1200.0},
        {39, 0, 80.0, -515640.0},   // midnight while resumed
        {39, 1, -34376.0, -515640.0},
        {42, 0, 0.0, 5400.0},
        {42, 1, 360.0, 5400.0},     // beyond one turn
        {43, 0, 360.0, 10800.0},
        {43, 1, 720.0, 10800.0},
    };
    Host host(KEL_GAU_PATH);
    auto steps = run_scenario(host, load_scenario(kStopwatchScenario));
    ASSERT_EQ(steps.size(), 43u);
    size_t shown = 0;
    for (const StepOutcome& s : steps) shown += s.shown.size();
    EXPECT_EQ(shown, std::size(expected)) << "every Clock shown is checked";
    for (const Shown& e : expected) {
        SCOPED_TRACE("step " + std::to_string(e.step) + ", Clock " + std::to_string(e.instance));
        const StepOutcome& s = steps.at(size_t(e.step - 1));
        ASSERT_LT(size_t(e.instance), s.shown.size());
        const auto& r = s.shown[size_t(e.instance)].results;
        ASSERT_EQ(r.size(), 5u);
        EXPECT_EQ(r[1].value, e.counter);
        EXPECT_EQ(r[4].value, e.seconds);
    }
    // The time-of-day hands at noon and at T 1800.
    EXPECT_EQ(steps[0].shown[0].results[2].value, 360.0);
    EXPECT_EQ(steps[0].shown[0].results[3].value, 4320.0);
    EXPECT_EQ(steps[42].shown[0].results[2].value, 15.0);
    EXPECT_EQ(steps[42].shown[0].results[3].value, 180.0);
    EXPECT_FALSE(steps[12].clicks.at(0).entry.has_value()) << "the click beside the knob";
}

TEST(Scenario, FaultsAreOneLineErrorsNamingTheStep) {
    struct Case {
        const char* json;
        const char* message;
    };
    const Case cases[] = {
        {R"([])", "not an object with \"steps\""},
        {R"({"steps": []})", "not a non-empty list"},
        {R"({"steps": [], "extra": 1})", "unknown key \"extra\""},
        {R"({"steps": [{"set": {"1": 2}}]})", "step 1 needs \"t\""},
        {R"({"steps": [{"t": 1}]})", "step 1 does nothing"},
        {R"({"steps": [{"t": 5, "show": "Clock"}, {"t": 4, "show": "Clock"}]})", "step 2: \"t\" 4 goes back from 5"},
        {R"({"steps": [{"t": 0, "shwo": ["Clock"]}]})", "step 1: unknown key \"shwo\""},
        {R"({"steps": [{"t": 0, "set": {"abc": 1}}]})", "\"abc\" is not a token"},
        {R"({"steps": [{"t": 0, "set": {"4294967296": 1}}]})", "\"4294967296\" is not a token"},
        {R"({"steps": [{"t": 0, "set": {"-1": 1}}]})", "\"-1\" is not a token"},
        {R"({"steps": [{"t": 0, "set": {"75": "high"}}]})", "token 75 is \"high\", not a number"},
        {R"({"steps": [{"t": 0, "click": {"gauge": "Clock"}}]})", "exactly one of \"area\" and \"at\""},
        {R"({"steps": [{"t": 0, "click": {"gauge": "Clock", "area": 3, "at": [1, 2]}}]})", "exactly one of"},
        {R"({"steps": [{"t": 0, "click": {"area": 3}}]})", "needs \"gauge\""},
        {R"({"steps": [{"t": 0, "click": {"gauge": "Clock", "area": -1}}]})", "not a mouse-entry index"},
        {R"({"steps": [{"t": 0, "click": {"gauge": "Clock", "at": [1]}}]})", "not [x, y]"},
        {R"({"steps": [{"t": 0, "click": {"gauge": "Clock", "at": [1.5, 2]}}]})", "not a 32-bit integer"},
        {R"({"steps": [{"t": 0, "click": [{"gauge": "Clock", "area": 3}, 7]}]})", "step 1: click 2 is 7"},
        {R"({"steps": [{"t": 0, "show": [3]}]})", "holds 3, not a gauge name"},
        {R"({"steps": [{"t": 0, "note": 3, "show": "Clock"}]})", "\"note\" is 3"},
    };
    for (const Case& c : cases) {
        try {
            parse_scenario(nlohmann::json::parse(c.json));
            ADD_FAILURE() << "accepted " << c.json;
        } catch (const Error& e) {
            std::string what = e.what();
            EXPECT_NE(what.find(c.message), std::string::npos) << what;
            EXPECT_EQ(what.find('\n'), std::string::npos) << what;
        }
    }
}

TEST(Scenario, RunFaultsNameTheStepBeforeAnythingRuns) {
    Host host(KEL_GAU_PATH);
    host.set(557, 100.0);
    auto scenario = parse_scenario(nlohmann::json::parse(
        R"({"steps": [{"t": 0, "click": {"gauge": "Clock", "area": 3}}, {"t": 1, "show": ["clock"]}]})"));
    try {
        run_scenario(host, scenario);
        ADD_FAILURE() << "ran with an unknown gauge";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("step 2: unknown gauge \"clock\""), std::string::npos) << e.what();
    }
    EXPECT_TRUE(host.service_calls().empty()) << "the first step did not run";

    auto not_an_area = parse_scenario(nlohmann::json::parse(R"({"steps": [{"t": 0, "click": {"gauge": "Clock", "area": 2}}]})"));
    EXPECT_THROW(run_scenario(host, not_an_area), Error);
}

TEST(ClickRunCli, CommandsPrintWhatHappenedAndFailWithReasons) {
    const std::string gau = KEL_GAU_PATH;
    struct Case {
        std::string args;
        int status;
        std::string contains;
    };
    const Case cases[] = {
        {"click " + gau + " --gauge KOHLSMAN --at 22,10", 0, "KOHLSMAN at (22, 10): no area there; nothing sent"},
        {"click " + gau + " --gauge KOHLSMAN --at 23,10 --set 75=1013", 0, "token 75 now 1014"},
        {"click " + gau + " --gauge OBS --area 5 --set 45=10", 0, "module sent key event 0x1007F x180"},
        {"click " + gau + " --gauge Clock --at 350,50", 0, "hits area 3 (304, 12, 90, 90): mouse function"},
        {"click " + gau + " --gauge Clock --area 2", 2, "not a clickable area"},
        {"click " + gau + " --gauge Clock --area 7", 2, "has no mouse entry 7"},
        {"click " + gau + " --gauge Clock", 1, "exactly one of --at X,Y and --area N"},
        {"click " + gau + " --gauge Clock --at 3", 1, "is not X,Y"},
        {"click " + gau + " --gauge Nope --at 3,4", 1, "unknown gauge \"Nope\""},
        {"click --help", 0, "--area"},
        {"run --help", 0, "SCENARIO.json"},
        {"run " + gau, 1, "a module file and a scenario file"},
        {"run " + gau + " /nonexistent.json", 2, "cannot open scenario /nonexistent.json"},
        {"run " + gau + " " + kStopwatchScenario, 0, "step 43 t=4800"},
    };
    for (const Case& c : cases) {
        CommandResult r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.contains), std::string::npos) << c.args << "\n" << r.output;
    }
    CommandResult json = RunCli("run " + gau + " " + kStopwatchScenario + " --json");
    ASSERT_EQ(json.status, 0) << json.output;
    auto doc = nlohmann::json::parse(json.output);
    ASSERT_EQ(doc["steps"].size(), 43u);
    EXPECT_EQ(doc["steps"][10]["shown"][1]["elements"][4]["value"], 690.0);
    EXPECT_EQ(doc["steps"][10]["shown"][1]["elements"][1]["value"], 46.0);
}
