#include <gtest/gtest.h>

#include "script_fixture.h"

namespace {

TEST(StringActions, Behaviour) {
    ScriptFixture fixture;
    const ActionCase cases[] = {
        {"String.Asc('A')", "65", 0},
        {"String.Asc('')", "0", 0},
        {"String.Asc(7)", "55", 0},
        {"String.Char(66)", "B", 0},
        {"String.Char(300)", "", 2901},
        {"String.Compare('a', 'b')", "-1", 0},
        {"String.Compare('b', 'a')", "1", 0},
        {"String.Compare('ab', 'ab')", "0", 0},
        {"String.Compare('\\200', 'a')", "1", 0},
        {"String.CompareNoCase('ABC', 'abc')", "0", 0},
        {"String.CompareNoCase('_', 'a')", "1", 0},
        {"String.CompareNoCase('\\233', '\\201')", "0", 0},
        {"String.CompareFileVersions('1.0.0.1', '1.0.0.10')", "-1", 0},
        {"String.CompareFileVersions('V3', '3.0')", "0", 0},
        {"String.Concat('a', 5)", "a5", 0},
        {"String.Find('abc', 'B')", "2", 0},
        {"String.Find('abc', 'B', 1, true)", "-1", 0},
        {"String.Find('abc', 'a.c')", "-1", 0},
        {"String.Find('abcabc', 'c', 4)", "6", 0},
        {"String.Find('abcabc', 'a', -3)", "4", 0},
        {"String.Left('Hello', 2)", "He", 0},
        {"String.Left('Hello', -1)", "Hello", 0},
        {"String.Left('Hello')", "", 0},
        {"String.Length('Hello')", "5", 0},
        {"String.Lower('ABC')", "abc", 0},
        {"String.Upper('abc')", "ABC", 0},
        {"String.Mid('Hello', 2, -1)", "ello", 0},
        {"String.Mid('Hello', 2, 3)", "ell", 0},
        {"String.Mid('Hello', 2, -2)", "", 3000},
        {"String.Repeat('ab', 3)", "ababab", 0},
        {"String.Repeat('abc', 1000000000)", "", 2902},
        {"String.Replace('aXbxc', 'x', '-')", "a-b-c", 0},
        {"String.Replace('aXbxc', 'x', '-', true)", "aXb-c", 0},
        {"String.Replace('abc', '', '-')", "abc", 0},
        {"String.ReverseFind('abcab', 'ab')", "4", 0},
        {"String.ReverseFind('abcab', 'AB', true)", "-1", 0},
        {"String.ReverseFind('abcab', 'x')", "-1", 0},
        {"String.Right('Hello', 10)", "Hello", 0},
        {"String.Right('Hello', 0)", "", 0},
        {"String.Right('Hello', 3)", "llo", 0},
        {"String.ToNumber(' 12.5 ')", "12.5", 0},
        {"String.ToNumber('x')", "0", 0},
        {"String.TrimLeft('  \\t x ')", "x ", 0},
        {"String.TrimLeft('xxyx', 'x')", "yx", 0},
        {"String.TrimLeft('  a', nil)", "a", 0},
        {"String.TrimRight('a \\r\\n')", "a", 0},
        {"String.TrimRight('axyxx', 'xy')", "a", 0},
        {"String.SplitPath('C:\\\\Temp\\\\file.tar.gz').Folder", "\\Temp\\", 0},
        {"String.SplitPath('C:\\\\Temp\\\\file.tar.gz').Filename .. String.SplitPath('C:\\\\x.y.gz').Extension",
         "file.tar.gz", 0},
        {"String.MakePath({Folder = 'C:\\\\Temp', Filename = 'a', Extension = 'txt'})", "C:\\Temp\\a.txt", 0},
        {"String.MakePath({Drive = 'D', Filename = 5, Extension = {}})", "D:5", 0},
        {"String.MakePath({Folder = string.rep('f', 261)})", "", 3001},
        // A replaced library function changes the action; a missing one gives 2900.
        {"(function() local f = string.len; string.len = nil; local r = String.Length('x'); "
         "string.len = f; return r end)()",
         "-1", 2900},
    };
    for (const ActionCase& c : cases) CheckActionCase(fixture, c);
    EXPECT_TRUE(fixture.ErrorBoxes().empty());
}

TEST(TableActions, Behaviour) {
    ScriptFixture fixture;
    fixture.Run("T = {'a', 'b', 'c'}");
    const ActionCase cases[] = {
        {"Table.Count({1, 2, x = 3})", "3", 0},
        {"Table.Concat(T, ',')", "a,b,c", 0},
        {"Table.Concat(T, ',', 2)", "b,c", 0},
        {"Table.Concat(T, ',', 1, -1)", "a,b,c", 0},
        {"Table.Concat(T, ',', 1, 2)", "a,b", 0},
        {"Table.Concat({{}}, ',')", "", 2901},
        {"(function() Table.Insert(T, 2, 'x') return table.concat(T) end)()", "axbc", 0},
        {"Table.Remove(T, 2)", "x", 0},
        {"(function() Table.Sort(T, function(a, b) return a > b end) return table.concat(T) end)()", "cba", 0},
        {"(function() Table.Sort(T) return table.concat(T) end)()", "abc", 0},
        {"(function() Table.Sort(T, function() error('no') end) return table.concat(T) end)()", "abc", 2901},
    };
    for (const ActionCase& c : cases) CheckActionCase(fixture, c);
    EXPECT_TRUE(fixture.ErrorBoxes().empty());
}

TEST(ActionArguments, WrongArgumentsEndTheScript) {
    struct ArgCase {
        const char* call;
        const char* message;
    };
    const ArgCase cases[] = {
        {"String.Left()", "1 arguments required."},
        {"String.Mid('a', 1)", "3 arguments required."},
        {"String.Find({}, 'a')", "Argument 1 must be of type string."},
        {"String.Find('a', 'a', 1, 1)", "Argument 4 must be of type boolean."},
        {"String.Replace('a', 'b', 'c', nil)", "Argument 4 must be of type boolean."},
        {"String.MakePath('x')", "Argument 1 must be of type table."},
        {"Table.Count('x')", "Argument 1 must be of type table."},
        {"Table.Concat({})", "2 arguments required."},
        {"Table.Insert({}, 1)", "3 arguments required."},
        {"Application.LoadScript(nil)", "Argument 1 must be of type string."},
        {"Application.Sleep()", "1 arguments required."},
    };
    for (const ArgCase& c : cases) {
        ScriptFixture fixture;
        fixture.Run(c.call);
        ASSERT_EQ(fixture.ErrorBoxes().size(), 1u) << c.call;
        EXPECT_EQ(fixture.ErrorBoxes()[0], std::string("On Click, Line 1: ") + c.message) << c.call;
    }
}

TEST(DebugActions, WindowAndOutput) {
    ScriptFixture fixture;
    fixture.Run("Debug.Print('a')\r\nDebug.Print('b')\r\nDebug.Print(5)\r\nDebug.Print({})\r\nDebug.Print()");
    EXPECT_EQ(fixture.frame.output, "ab5");
    fixture.Run("Debug.Clear()");
    EXPECT_EQ(fixture.frame.output, "");
    struct ShowCase {
        const char* call;
        bool shown;
    };
    for (const ShowCase& c : {ShowCase{"Debug.ShowWindow(1)", true}, ShowCase{"Debug.ShowWindow(false)", false},
                              ShowCase{"Debug.ShowWindow()", true}, ShowCase{"Debug.ShowWindow(nil)", true}}) {
        fixture.frame.shown = !c.shown;
        fixture.Run(c.call);
        EXPECT_EQ(fixture.frame.shown, c.shown) << c.call;
    }
    EXPECT_EQ(fixture.Eval("Debug.GetEventContext()"), "Page1 -> Button1 -> On Click");
    // Debug actions leave the last-error code alone.
    fixture.Run("Application.SetLastError(42)\r\nDebug.Print('x')\r\nDebug.Clear()");
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), "42");
}

}  // namespace
