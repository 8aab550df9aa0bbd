#include <gtest/gtest.h>

#include "actions/system_actions.h"
#include "platform/local_clock.h"
#include "script_fixture.h"

namespace {

struct FixedClock {
    explicit FixedClock(LocalTime time) {
        SetLocalClockForTesting([time] { return time; });
    }
    ~FixedClock() { SetLocalClockForTesting(nullptr); }
};

TEST(SystemActions, DateFormats) {
    ScriptFixture fixture;
    FixedClock clock({2026, 12, 8, 3, 0, 5, 9});
    const ActionCase cases[] = {
        {"System.GetDate(DATE_FMT_US)", "12/08/2026", 0},
        {"System.GetDate(DATE_FMT_EUROPE)", "08/12/2026", 0},
        {"System.GetDate(DATE_FMT_ISO)", "2026-12-08", 0},
        {"System.GetDate(DATE_FMT_JULIAN)", "2461383", 0},
        {"System.GetDate(DATE_FMT_MONTH)", "12", 0},
        {"System.GetDate(DATE_FMT_DAY)", "08", 0},
        {"System.GetDate(DATE_FMT_YEAR)", "2026", 0},
        {"System.GetDate(DATE_FMT_DAYOFWEEK)", "3", 0},
        {"System.GetDate(8)", "", 1814},
        {"System.GetTime(TIME_FMT_MIL)", "00:05:09", 0},
        {"System.GetTime(TIME_FMT_AMPM)", "12:05:09 AM", 0},
        {"System.GetTime(TIME_FMT_SEC)", "09", 0},
        {"System.GetTime(TIME_FMT_MIN)", "05", 0},
        {"System.GetTime(TIME_FMT_HOUR)", "00", 0},
        {"System.GetTime(-1)", "", 1815},
    };
    for (const ActionCase& c : cases) CheckActionCase(fixture, c);
}

TEST(SystemActions, AfternoonAndNoon) {
    ScriptFixture fixture;
    struct TimeCase {
        int hour;
        const char* ampm;
    };
    for (TimeCase c : {TimeCase{13, "1:00:00 PM"}, TimeCase{12, "12:00:00 PM"}, TimeCase{11, "11:00:00 AM"},
                       TimeCase{23, "11:00:00 PM"}}) {
        FixedClock clock({2026, 1, 1, 5, c.hour, 0, 0});
        EXPECT_EQ(fixture.Eval("System.GetTime(TIME_FMT_AMPM)"), c.ampm) << c.hour;
    }
}

TEST(SystemActions, JulianDayNumbers) {
    struct DayCase {
        int year, month, day;
        long number;
    };
    for (DayCase c : {DayCase{2000, 1, 1, 2451545}, DayCase{1970, 1, 1, 2440588}, DayCase{2024, 2, 29, 2460370},
                      DayCase{1, 1, 1, 1721426}}) {
        EXPECT_EQ(JulianDayNumber(c.year, c.month, c.day), c.number) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(SystemActions, OsNamesAndDisplay) {
    struct OsCase {
        int platform, major, minor;
        const char* name;
    };
    const OsCase cases[] = {{1, 4, 0, "Windows 95"},          {1, 4, 10, "Windows 98"},
                            {1, 4, 90, "Windows ME"},         {2, 4, 0, "Windows NT 4"},
                            {2, 5, 0, "Windows 2000"},        {2, 5, 1, "Windows XP"},
                            {2, 5, 2, "Windows Server 2003"}, {2, 6, 1, ""}};
    for (const OsCase& c : cases) EXPECT_EQ(OsNameFor(c.platform, c.major, c.minor), c.name);
    ScriptFixture fixture;
    EXPECT_EQ(fixture.Eval("System.GetOSName()"), "Windows XP");
    fixture.frame.screenWidth = 800;
    fixture.frame.screenHeight = 600;
    EXPECT_EQ(fixture.Eval("System.GetDisplayInfo().Width .. 'x' .. System.GetDisplayInfo().Height .. 'x' .. "
                           "System.GetDisplayInfo().ColorDepth"),
              "800x600x32");
}

TEST(RegistryActions, ConversionsBothWays) {
    ScriptFixture fixture;
    const char key[] = "Software\\Vantorix Tests";
    ASSERT_TRUE(fixture.registry.WriteRaw(2, key, "Dword", 4, {255, 0, 0, 0}));
    ASSERT_TRUE(fixture.registry.WriteRaw(2, key, "Binary", 3, {1, 2, 255}));
    ASSERT_TRUE(fixture.registry.WriteRaw(2, key, "Multi", 7, {'a', 0, 'b', 0, 0}));
    ASSERT_TRUE(fixture.registry.WriteRaw(2, key, "Odd", 11, {1}));
    const ActionCase cases[] = {
        {"Registry.GetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Dword')", "255", 0},
        {"Registry.GetValue(HKEY_CURRENT_USER, '\\\\Software\\\\VANTORIX TESTS\\\\', 'binary')", "01 02 FF", 0},
        {"Registry.GetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Multi')", "a|b", 0},
        {"Registry.GetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Odd')", "", 1605},
        {"Registry.GetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Missing')", "", 1605},
        {"(function() Registry.SetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Two', '0A ff', REG_BINARY) "
         "return Registry.GetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Two') end)()",
         "0A FF", 0},
        {"(function() Registry.SetValue(9, 'Software\\\\Vantorix Tests', 'Root', '12', REG_DWORD) "
         "return Registry.GetValue(HKEY_CURRENT_USER, 'Software\\\\Vantorix Tests', 'Root') end)()",
         "12", 0},
        {"(function() Registry.SetValue(2, 'Software\\\\X', 'Bad', 'v', 99) return 'done' end)()", "done", 1608},
        {"(function() Registry.SetValue(2, 'Software\\\\X', 'Path', '%SystemRoot%\\\\x', REG_EXPAND_SZ) "
         "return Registry.GetValue(2, 'Software\\\\X', 'Path') .. '|' .. Registry.GetValue(2, 'Software\\\\X', "
         "'Path', false) end)()",
         "C:\\Windows\\x|%SystemRoot%\\x", 0},
    };
    for (const ActionCase& c : cases) CheckActionCase(fixture, c);
    std::vector<std::uint8_t> data;
    int type = 0;
    ASSERT_TRUE(fixture.registry.ReadRaw(2, "Software\\Vantorix Tests", "Two", type, data));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{0x0A, 0xFF}));
}

TEST(ShellActions, SpecialFolders) {
    ScriptFixture fixture;
    const ActionCase cases[] = {
        {"Shell.GetFolder(SHF_FONTS)", "C:\\Windows\\Fonts", 0},
        {"Shell.GetFolder(SHF_PROGRAMFILES)", "C:\\Program Files", 0},
        {"Shell.GetFolder(SHF_COMMONFILES)", "C:\\Program Files\\Common Files", 0},
        {"Shell.GetFolder(12345)", "", 2304},
        {"string.sub(Shell.GetFolder(SHF_STARTUP), 1, 26)", "C:\\Documents and Settings\\", 0},
    };
    for (const ActionCase& c : cases) CheckActionCase(fixture, c);
}

}  // namespace
