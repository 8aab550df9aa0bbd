#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <lua.hpp>

#include "script/kx_delimited_string.h"

class CKXScriptDocument;

// One global table of host functions that scripts call.
struct ActionTable {
    const char* name;
    const luaL_Reg* functions;  // ends with {nullptr, nullptr}; nullptr for an empty table
};

// The one Lua state of a run and the only road by which project scripts run. Scripts are Lua 5.0
// run on the Lua 5.1 library through a thin dialect layer.
class CLUAEngine {
public:
    // Builds the state: the standard libraries, the dialect, the action tables in the given
    // order, and the line hook.
    CLUAEngine(CKXScriptDocument& document, const std::vector<ActionTable>& tables);
    virtual ~CLUAEngine();
    CLUAEngine(const CLUAEngine&) = delete;
    CLUAEngine& operator=(const CLUAEngine&) = delete;

    // Loads and runs text as one chunk named by the text itself. Returns 0, or the failing step's
    // status: 1 run-time error, 3 syntax error, 4 memory error.
    int ExecuteScript(const std::string& text);
    // Shows a script error to the user in one "Error" box.
    virtual void ReportError(const std::string& message);

    void SetGlobalString(const std::string& name, const std::string& value);
    void SetGlobalNumber(const std::string& name, int value);
    void SetGlobalBoolean(const std::string& name, bool value);
    void SetGlobalNil(const std::string& name);
    // True only when the global holds the boolean true.
    bool GetGlobalBoolean(const std::string& name);
    // Calls the global function of that name without arguments, protected: its boolean result,
    // or otherwise when it is not a function, fails or gives something else.
    bool CallGlobalPredicate(const char* name, bool otherwise);

    // Calls into the action library through the script-visible tables, so that a script that
    // replaces these functions changes what the host does. Failures are swallowed.
    void CallSetLastError(int code);
    void CallResetLastError();
    bool QueryTraceMode();
    void DebugPrint(const std::string& text);

    static CLUAEngine* FromState(lua_State* L);

    // The author's line of the running script: the last line entered by any running script
    // function, less the one line of the event's prefix.
    int CurrentLine();
    // Chooses how scripts are followed: line by line while tracing can be on, otherwise only a
    // cheap check every few thousand instructions for a trace switch made by the script itself.
    void UpdateHook();

    CKXScriptDocument& document;
    lua_State* luaState = nullptr;
    int traceMode = 0;
    int currentLine = 0;
    int lastError = 0;
    CKXDelimitedString scriptLines;

    // What the scripts of a run may allocate (tests lower it).
    std::size_t memoryLimit = std::size_t{1} << 30;
    std::size_t memoryInUse = 0;
    // What the scripts may still allocate: a result longer than this need not be built.
    std::size_t MemoryRoom() const { return memoryLimit > memoryInUse ? memoryLimit - memoryInUse : 0; }

    // Pushes the value build leaves on the stack, built in protected mode: false, with nothing
    // pushed, when the scripts' memory refuses it. Host code pushes what it built in C++ this
    // way, so that a memory error never jumps over the objects that still hold it; an action
    // whose result was refused then leaves nil and marks resultRefused, and its wrapper ends the
    // script with the memory error once the action has returned and freed what it held.
    bool PushProtected(lua_State* L, const std::function<void(lua_State*)>& build);
    bool resultRefused = false;

    // Scripts that do not return. StopAllScripts (from any thread: the run's time is up) ends
    // the running script with a script error at its next check, and every script after it.
    // StopRunningScript ends only the one running now; its error comes back at every check (so a
    // pcall cannot keep it going) until the outermost script has returned.
    void StopAllScripts() { stopAll = true; }
    void StopRunningScript() { stopRunning = true; }
    bool StopRequested() const { return stopAll || stopRunning; }
    // Asked once a script has run unresponsiveAfter without the event loop getting a turn:
    // true stops it, false lets it go on as long again. None: scripts run as long as they like.
    std::function<bool()> onUnresponsive;
    std::chrono::milliseconds unresponsiveAfter{5000};
    // The event loop had its turn (it waited for events): the clock of onUnresponsive restarts.
    void NoteEventLoopTurn() { lastTurn = std::chrono::steady_clock::now(); }
    static constexpr const char* stoppedMessage = "The script was stopped because it did not respond.";
    // Raises the stop as a script error when one was asked for; from hooks and waiting actions.
    void CheckStop(lua_State* L);

private:
    // Assigns the value on top of the stack to the global, protected; pops the value.
    void SetGlobalValue(const std::string& name);
    // Looks up Table.Field (any value, nil when Table is not a table) and calls it protected with
    // the nargs values on top of the stack. False when it is not a function or the call failed;
    // on success nresults values are left on the stack.
    bool CallScriptFunction(const char* table, const char* field, int nargs, int nresults);
    // True while trace output is off for certain: Debug.GetTraceMode is still the player's own
    // function and trace mode is off. Only then may lines go unobserved.
    bool TraceCertainlyOff();
    // Puts a proxy in front of the Debug table that sees a script replace GetTraceMode.
    void WatchDebugTable();
    static void LineHook(lua_State* L, lua_Debug* ar);
    static void CountHook(lua_State* L, lua_Debug* ar);
    // Every action runs through this: it raises a refused result's memory error.
    static int CallAction(lua_State* L);
    static int BuildProtected(lua_State* L);
    bool followingLines = false;
    int resultSlot = LUA_NOREF;  // the registry slot a protected build leaves its value in
    std::atomic<bool> stopAll{false};
    std::atomic<bool> stopRunning{false};
    std::chrono::steady_clock::time_point lastTurn = std::chrono::steady_clock::now();
    unsigned linesSinceCheck = 0;
};

// The message shown for a failed script: an interpreter message "[string ...]:N: text" becomes
// "<event>, Line <N-1>: text"; anything else is shown as it is.
std::string FormatScriptError(const std::string& message, const std::string& eventContext);

// Ends the running script with "<event>, Line <n>: message" as a script error, which a pcall in
// the script can catch. Call it only from frames that own nothing with a destructor.
[[noreturn]] void RaiseActionError(lua_State* L, const char* message);
