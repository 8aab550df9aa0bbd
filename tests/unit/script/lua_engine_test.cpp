#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "script_fixture.h"

namespace {

TEST(ScriptErrors, TheErrorBoxNamesTheEventAndTheAuthorsLine) {
    struct Case {
        const char* what;
        std::string script;
        std::string context;
        std::string expected;  // a prefix of the box text
        int status;
    };
    const Case cases[] = {
        {"syntax error on the first line", "x = = 1", "Page1 -> Button1 -> On Click", "On Click, Line 1: ", 3},
        {"run-time error", "local a = 1\r\nlocal b = 2\r\nundefined_function()", "Page1 -> Button1 -> On Click",
         "On Click, Line 3: attempt to call global 'undefined_function' (a nil value)", 1},
        {"page event", "\r\n\r\nerror('boom')", "Page1 -> On Show", "On Show, Line 3: boom", 1},
        {"startup context", "error('x')", "Startup", "Startup, Line 1: x", 1},
        {"empty context", "error('x')", "", "Unknown, Line 1: x", 1},
        {"raised without position, starting with [", "error('[no bracket', 0)", "Page1 -> Button1 -> On Click",
         "On Click, Line -2: Unknown error", 1},
        {"raised without position", "error('shown as raised', 0)", "Page1 -> Button1 -> On Click", "shown as raised",
         1},
        {"an error value that is not text", "error({})", "Page1 -> Button1 -> On Click", "", 1},
        {"an action's argument error", "local a = 1\r\nString.Left()", "Page1 -> Button1 -> On Click",
         "On Click, Line 2: 1 arguments required.", 1},
        {"an action's type error", "Application.SetRedraw(nil)", "Page1 -> Button1 -> On Click",
         "On Click, Line 1: Argument 1 must be of type boolean.", 1},
    };
    for (const Case& c : cases) {
        ScriptFixture fixture;
        EXPECT_EQ(fixture.Run(c.script, c.context), c.status) << c.what;
        auto boxes = fixture.ErrorBoxes();
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].substr(0, c.expected.size()), c.expected) << c.what << ": " << boxes[0];
        if (c.expected.empty()) {
            EXPECT_EQ(boxes[0], "") << c.what;
        }
        EXPECT_EQ(fixture.dialogs.records[0].style, MB_ICONEXCLAMATION | MB_OK);
        EXPECT_EQ(fixture.document.ScriptDepth(), 0) << c.what;
    }
}

TEST(ScriptErrors, ActionErrorsInsidePcallReachTheScript) {
    ScriptFixture fixture;
    fixture.Run("local ok, e = pcall(String.Left)\r\nDebug.Print(tostring(ok) .. '|' .. e)");
    EXPECT_TRUE(fixture.ErrorBoxes().empty());
    EXPECT_EQ(fixture.frame.output, "false|On Click, Line 1: 1 arguments required.");
}

TEST(ScriptErrors, GlobalsSetBeforeTheErrorStay) {
    ScriptFixture fixture;
    fixture.Run("Kept = 5\r\nerror('stop')\r\nLost = 1");
    EXPECT_EQ(fixture.Eval("Kept"), "5");
    EXPECT_EQ(fixture.Eval("Lost"), "nil");
}

TEST(ScriptErrors, HostileScriptsEndInTheErrorBox) {
    const char* scripts[] = {
        "local function f() return f() + 1 end f()",  // deep recursion
        "xpcall(function() error('a') end, function() error('b') end) error('after')",
        "local t = {} for i = 1, 100 do t = {t} end error(t)",  // a table as the error value
        "string.rep('x', 2000000000)",                          // more memory than scripts get
        "Application = 5\r\nDebug = 7\r\nString.Left('a', 1)\r\nerror('still reported')",
        ("setmetatable(_G, {__index = function() error('no') end, __newindex = function() error('no') end})\r\n"
         "x = 1"),
    };
    for (const char* script : scripts) {
        ScriptFixture fixture;
        fixture.Run(script);
        EXPECT_EQ(fixture.ErrorBoxes().size(), 1u) << script;
        EXPECT_EQ(fixture.document.ScriptDepth(), 0) << script;
        // The state still runs scripts afterwards.
        fixture.dialogs.records.clear();
        fixture.Run("rawset(_G, 'Alive', true)");
        EXPECT_TRUE(fixture.ErrorBoxes().empty()) << script;
    }
}

TEST(ScriptRuns, EmptyScriptsRunNothing) {
    ScriptFixture fixture;
    fixture.Run("local x = 1", "before");
    fixture.engine->traceMode = 1;
    fixture.frame.output.clear();
    EXPECT_EQ(fixture.Run("", "Page -> On Show"), 0);
    EXPECT_EQ(fixture.document.EventContext(), "before");
    EXPECT_EQ(fixture.frame.output, "");
}

TEST(ScriptRuns, TraceOutput) {
    ScriptFixture fixture;
    fixture.Run("Debug.SetTraceMode(true)");
    fixture.frame.output.clear();
    fixture.Run("local a = 1\r\n\r\n  local b = 2  ", "Page1 -> Button1 -> On Click");
    // The event's prefix is line 0; the blank line 2 never executes.
    EXPECT_EQ(fixture.frame.output,
              "\r\nTRACE: Page1 -> Button1 -> On Click\r\nTRACE: 0: local this=\"Button1\";\r\n"
              "TRACE: 1: local a = 1\r\nTRACE: 3: local b = 2\r\n");
    fixture.frame.output.clear();
    fixture.Run("Application.SetLastError(1001.7)\r\nDebug.SetTraceMode(false)");
    EXPECT_NE(fixture.frame.output.find("TRACE: LastError = 1001 (\"Failed to load file.\")\r\n"), std::string::npos);
    fixture.frame.output.clear();
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), "1001");
}

TEST(ScriptRuns, TraceModeFollowsTheScriptVisibleFunctions) {
    struct Case {
        const char* setup;
        bool traced;
    };
    const Case cases[] = {
        {"Debug.SetTraceMode(0)", true},
        {"Debug.SetTraceMode(nil)", false},
        {"Debug.SetTraceMode()", true},
        {"Debug.GetTraceMode = function() return true end", true},
        {"Debug.GetTraceMode = function() error('x') end", false},
        {"Debug = 3", false},
    };
    for (const Case& c : cases) {
        ScriptFixture fixture;
        fixture.Run(c.setup);
        fixture.frame.output.clear();
        fixture.Run("local x = 1");
        EXPECT_EQ(fixture.frame.output.find("TRACE: 1: local x = 1") != std::string::npos, c.traced) << c.setup;
    }
}

TEST(ScriptRuns, AReplacedTraceSwitchTracesFromTheNextLine) {
    ScriptFixture fixture;
    fixture.Run("Debug.GetTraceMode = function() return true end\r\nlocal a = 1\r\nlocal b = 2");
    // The trace lines come through Debug.Print, so the table behind the watch still answers.
    EXPECT_EQ(fixture.frame.output, "TRACE: 2: local a = 1\r\nTRACE: 3: local b = 2\r\n");
}

TEST(ScriptRuns, ReplacedLastErrorFunctionsSeeEveryActionsCode) {
    ScriptFixture fixture;
    fixture.Run(
        "Seen = {}\r\nApplication.SetLastError = function(c) table.insert(Seen, c) end\r\n"
        "String.Mid('Hello', 2, -2)\r\nString.Concat('a', 'b')");
    EXPECT_EQ(fixture.Eval("table.concat(Seen, ',')"), "3000,0");
}

TEST(ScriptRuns, NestedScriptsShareTheStateAndReplaceTheContext) {
    ScriptFixture fixture;
    int innerDepth = 0;
    // An event served while the outer script sleeps runs its own script on the same state.
    fixture.frame.onPump = [&] {
        fixture.document.RunEventScript("Inner = Outer + 1\r\nInnerDepth = Debug.GetEventContext()",
                                        "Page1 -> On Audio", "local this=\"Page1\";");
        innerDepth = fixture.document.ScriptDepth();
    };
    fixture.Run("Outer = 1\r\nApplication.Sleep(10)\r\nAfter = Inner + 1\r\nContext = Debug.GetEventContext()");
    EXPECT_EQ(fixture.frame.waits, (std::vector<int>{10}));
    EXPECT_EQ(innerDepth, 1);
    EXPECT_EQ(fixture.Eval("After"), "3");
    EXPECT_EQ(fixture.Eval("InnerDepth"), "Page1 -> On Audio");
    // The context is not restored after the inner script.
    EXPECT_EQ(fixture.Eval("Context"), "Page1 -> On Audio");
    EXPECT_EQ(fixture.document.ScriptDepth(), 0);
}

TEST(ScriptRuns, GlobalAccessFromTheHost) {
    ScriptFixture fixture;
    CLUAEngine& engine = *fixture.engine;
    engine.SetGlobalString("S", "text");
    engine.SetGlobalNumber("N", 42);
    engine.SetGlobalBoolean("B", true);
    EXPECT_EQ(fixture.Eval("S .. N .. tostring(B)"), "text42true");
    struct Case {
        const char* value;
        bool expected;
    };
    for (const Case& c :
         {Case{"true", true}, Case{"false", false}, Case{"1", false}, Case{"'true'", false}, Case{"nil", false}}) {
        fixture.Run(std::string("G = ") + c.value);
        EXPECT_EQ(engine.GetGlobalBoolean("G"), c.expected) << c.value;
    }
    engine.SetGlobalNil("S");
    EXPECT_EQ(fixture.Eval("S"), "nil");
}

TEST(ScriptErrors, FormattingRules) {
    struct Case {
        const char* message;
        const char* context;
        const char* expected;
    };
    const Case cases[] = {
        {"[string \"x\"]:4: boom", "P -> B -> On Click", "On Click, Line 3: boom"},
        {"[string \"x\"]:4:: : boom", "P -> On Show", "On Show, Line 3: boom"},
        {"[string \"x\"]", "P -> On Show", "On Show, Line -2: Unknown error"},
        {"[x", "Startup", "[x"},
        {"plain", "P -> On Show", "plain"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatScriptError(c.message, c.context), c.expected) << c.message;
}

}  // namespace

namespace {

TEST(ScriptErrors, DeepPatternsEndInAScriptError) {
    // Each of these used to recurse once per pattern item on the C stack, and crash.
    const char* const scripts[] = {
        "string.find(string.rep('a', 400000), string.rep('a?', 400000))",
        "string.match(string.rep('a', 1000), '(' .. string.rep('a?', 100000) .. ')')",
        "for w in string.gfind('aaa', string.rep('a*', 100000)) do end",
        "string.gsub('abc', string.rep('.-', 100000), function() return 'x' end)",
        "local s = string.rep('b', 1000); s:find(string.rep('b?', 50000))",
    };
    for (const char* script : scripts) {
        ScriptFixture fixture;
        EXPECT_EQ(fixture.Run(script), 1) << script;
        ASSERT_FALSE(fixture.dialogs.records.empty()) << script;
        EXPECT_NE(fixture.dialogs.records.back().text.find("pattern too complex"), std::string::npos)
            << fixture.dialogs.records.back().text;
    }
    // Ordinary patterns and plain finds are untouched.
    ScriptFixture fixture;
    EXPECT_EQ(fixture.Eval("string.find('x' .. string.rep('?', 1000), string.rep('?', 1000), 1, true)"), "2");
    EXPECT_EQ(fixture.Eval("string.gsub('hello world', '(%w+)', '<%1>')"), "<hello> <world>");
    EXPECT_EQ(fixture.Eval("string.find('[a?]', '[?]')"), "3");
}

}  // namespace

TEST(RunawayScripts, AStopFromAnotherThreadEndsEveryScriptFromThen) {
    ScriptFixture fixture;
    std::thread stopper([&fixture] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        fixture.engine->StopAllScripts();
    });
    // A pcall around the loop cannot keep the script going.
    EXPECT_EQ(fixture.Run("pcall(function() while true do end end)\r\nwhile true do end"), 1);
    stopper.join();
    ASSERT_EQ(fixture.ErrorBoxes().size(), 1u);
    EXPECT_EQ(fixture.ErrorBoxes()[0], std::string("On Click, Line 2: ") + CLUAEngine::stoppedMessage);
    EXPECT_EQ(fixture.Run("while true do end"), 1) << "a later script stops too";
}

TEST(RunawayScripts, TheUnresponsiveQuestionWaitsOrStopsOnlyTheRunningScript) {
    ScriptFixture fixture;
    fixture.engine->unresponsiveAfter = std::chrono::milliseconds(30);
    int asked = 0;
    fixture.engine->onUnresponsive = [&asked] { return ++asked == 2; };  // wait once, then stop
    EXPECT_EQ(fixture.Run("while true do end"), 1);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(fixture.Run("Done = 1"), 0) << "the next script runs";
    EXPECT_EQ(fixture.Eval("Done"), "1");
    // A script that waits serves events: its wait is not unresponsiveness, and a stop ends the wait.
    fixture.frame.onPump = [&] { fixture.engine->StopRunningScript(); };
    EXPECT_EQ(fixture.Run("Application.Sleep(2147483647)\r\nAfter = 1"), 1);
    EXPECT_EQ(fixture.Eval("After"), "nil");
}

TEST(RunawayScripts, AMatchThatBacktracksForYearsStopsLikeALoop) {
    const char* const script = "string.find(string.rep('a', 40), 'a*a*a*a*a*a*a*a*a*a*a*b')";
    ScriptFixture fixture;
    fixture.engine->unresponsiveAfter = std::chrono::milliseconds(30);
    int asked = 0;
    fixture.engine->onUnresponsive = [&asked] { return ++asked == 2; };
    EXPECT_EQ(fixture.Run(script), 1);
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(fixture.ErrorBoxes().size(), 1u);
    EXPECT_EQ(fixture.ErrorBoxes()[0], std::string("On Click, Line 1: ") + CLUAEngine::stoppedMessage);
    // The run's time running out ends it too.
    fixture.engine->onUnresponsive = nullptr;
    std::thread stopper([&fixture] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fixture.engine->StopAllScripts();
    });
    EXPECT_EQ(fixture.Run(script), 1);
    stopper.join();
}

TEST(ScriptMemory, AResultTheScriptsMemoryRefusesIsAMemoryErrorAndLeavesNothingBehind) {
    ScriptFixture fixture;
    fixture.engine->memoryLimit = fixture.engine->memoryInUse + (8 << 20);
    // Each call builds a result of 6 MB in C++ that the scripts' 8 MB cannot take.
    EXPECT_EQ(fixture.Run("local s = string.rep('a', 2000000)\r\n"
                          "Results = {}\r\n"
                          "for i = 1, 5 do\r\n"
                          "    local ok, message = pcall(String.Replace, s, 'a', 'bbb')\r\n"
                          "    table.insert(Results, tostring(ok) .. ' ' .. tostring(message))\r\n"
                          "end\r\n"
                          "Small = String.Replace('abc', 'b', 'x')"),
              0);
    EXPECT_EQ(fixture.Eval("Results[1]"), "false not enough memory");
    EXPECT_EQ(fixture.Eval("Results[5]"), "false not enough memory");
    EXPECT_EQ(fixture.Eval("Small"), "axc") << "the next result is pushed as ever";
    // Tables built in C++ go the same way: a path made while there is room, whose parts (2 MB)
    // come when there is 1 MB left.
    fixture.engine->memoryLimit = std::size_t{1} << 30;
    fixture.Run(
        "Results = nil\r\nPath = string.rep('x', 1000000) .. '\\\\' .. string.rep('x', 1000000)\r\n"
        "collectgarbage('collect')");
    fixture.engine->memoryLimit = fixture.engine->memoryInUse + (1 << 20);
    EXPECT_EQ(fixture.Run("Parts = tostring((pcall(String.SplitPath, Path)))"), 0);
    EXPECT_EQ(fixture.Eval("Parts"), "false");
}
