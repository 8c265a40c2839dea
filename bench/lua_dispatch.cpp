// Cost of the script binding against the bare interpreter API doing the same work: a bound
// method called from a script loop against a raw native function, and a C++ call of a script
// callback through LuaObject::call against a bare lua_pcall.
#include <io/ByteArrayInputStream.h>
#include <lua/LuaObject.h>
#include <lua/LuaState.h>

#include <benchmark/benchmark.h>
#include <cstring>
#include <lauxlib.h>
#include <memory>

namespace {

// Calls per script loop.
constexpr int LOOP_CALLS = 1000;

class Accumulator : public lua::LuaObject
{
public:
	explicit Accumulator(lua::LuaState* state) : lua::LuaObject(state)
	{
		registerMethod("add", this, &Accumulator::add);
	}

	void add(float value, float scale) { total += value * scale; }

	float total = 0.0f;
};

// The same work as the bound method: two checked numbers into the object from the upvalue.
int rawAdd(lua_State* lua)
{
	Accumulator* accumulator = static_cast<Accumulator*>(lua_touserdata(lua, lua_upvalueindex(1)));
	if (lua_type(lua, 1) != LUA_TNUMBER || lua_type(lua, 2) != LUA_TNUMBER)
		return luaL_error(lua, "numbers expected");
	accumulator->total += static_cast<float>(lua_tonumber(lua, 1) * lua_tonumber(lua, 2));
	return 0;
}

void run(lua::LuaState& state, const char* text, lua::LuaTable* env = nullptr)
{
	io::ByteArrayInputStream in(text, static_cast<int>(std::strlen(text)));
	state.compile(&in, in.available(), "bench", env);
}

struct Fixture
{
	Fixture() : accumulator(new Accumulator(&state))
	{
		lua_State* lua = state.interpreter();
		lua_pushlightuserdata(lua, accumulator.get());
		lua_pushcclosure(lua, rawAdd, 1);
		lua_setglobal(lua, "rawAdd");
		state.globals().setTable("obj", *accumulator);
		run(state,
			"function boundLoop(n) local add = obj.add for i = 1, n do add(i, 0.5) end end\n"
			"function rawLoop(n) local add = rawAdd for i = 1, n do add(i, 0.5) end end\n");
		run(state, "function update(dt, time) elapsed = time + dt end", accumulator.get());
	}

	void loop(const char* function)
	{
		lua_State* lua = state.interpreter();
		lua_getglobal(lua, function);
		lua_pushnumber(lua, LOOP_CALLS);
		lua_pcall(lua, 1, 0, 0);
	}

	lua::LuaState state;
	std::unique_ptr<Accumulator> accumulator;
};

// One script loop of LOOP_CALLS calls into native code, through the named script function.
void BM_ScriptCalls(benchmark::State& bench, const char* loopFunction)
{
	Fixture fixture;
	for (auto _ : bench)
		fixture.loop(loopFunction);
	bench.SetItemsProcessed(bench.iterations() * LOOP_CALLS);
}
BENCHMARK_CAPTURE(BM_ScriptCalls, BoundMethod, "boundLoop");
BENCHMARK_CAPTURE(BM_ScriptCalls, RawFunction, "rawLoop");

void BM_CallScriptCallback(benchmark::State& bench)
{
	Fixture fixture;
	for (auto _ : bench)
		fixture.accumulator->call<float, float>("update", 0.016f, 1.0f);
}
BENCHMARK(BM_CallScriptCallback);

void BM_BarePcallOfScriptFunction(benchmark::State& bench)
{
	Fixture fixture;
	lua_State* lua = fixture.state.interpreter();
	for (auto _ : bench)
	{
		lua::LuaState::pushTable(lua, fixture.accumulator.get());
		lua_getfield(lua, -1, "update");
		lua_pushnumber(lua, 0.016f);
		lua_pushnumber(lua, 1.0f);
		lua_pcall(lua, 2, 0, 0);
		lua_pop(lua, 1);
	}
}
BENCHMARK(BM_BarePcallOfScriptFunction);

} // namespace
