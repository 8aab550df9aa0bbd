// The cost of running scripts through the player's engine against a bare Lua state:
// (a) the line hook over ten million executed lines with trace mode off;
// (b) RunEventScript of a one-line script against luaL_loadbuffer and lua_pcall of the same text.
#include <benchmark/benchmark.h>

#include <cstring>

#include <lua.hpp>

#include "actions/action_tables.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

// 2.5 million iterations of four lines each (three statements and the loop's own line).
const char loopScript[] =
    "local x = 0\r\n"
    "for i = 1, 2500000 do\r\n"
    "  x = x + 1\r\n"
    "  x = x * 1\r\n"
    "  x = x - 0\r\n"
    "end\r\n";

const char oneLine[] = "local a = 1";

struct PlayerEngine {
    ScriptedDialogs dialogs;
    CKXFrameServices frame;
    CKXScriptDocument document{dialogs, frame, CodePage::Default()};
    CLUAEngine engine{document, ActionTables()};
};

lua_State* BareState() {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    return L;
}

void RunBare(lua_State* L, const char* text) {
    if (luaL_loadbuffer(L, text, std::strlen(text), text) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
        lua_pop(L, 1);
    }
}

void BM_LoopBareLua(benchmark::State& state) {
    lua_State* L = BareState();
    for (auto _ : state) RunBare(L, loopScript);
    lua_close(L);
    state.counters["lines"] = 10e6;
}

void BM_LoopWithLineHook(benchmark::State& state) {
    PlayerEngine player;
    for (auto _ : state) player.document.RunEventScript(loopScript, "Bench -> On Click", "");
    state.counters["lines"] = 10e6;
}

void BM_OneLineBareLua(benchmark::State& state) {
    lua_State* L = BareState();
    for (auto _ : state) RunBare(L, oneLine);
    lua_close(L);
}

void BM_OneLineRunEventScript(benchmark::State& state) {
    PlayerEngine player;
    for (auto _ : state) player.document.RunEventScript(oneLine, "Page -> Button -> On Click", "");
}

BENCHMARK(BM_LoopBareLua)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoopWithLineHook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneLineBareLua)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneLineRunEventScript)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
