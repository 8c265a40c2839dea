#ifndef FUZZ_LUAFUZZING_H
#define FUZZ_LUAFUZZING_H

// Limits for running fuzz input as Lua on a fresh interpreter per input: an instruction budget
// and a memory limit, so loops and runaway allocations in the input end as script errors
// instead of stalling the fuzzer.
#include <lua/LuaState.h>

#include <cstdlib>
#include <lauxlib.h>

namespace luafuzz {

// Interpreter instructions between budget checks, and checks before the input is stopped.
constexpr int INSTRUCTIONS_PER_CHECK = 1000;
constexpr int MAX_CHECKS = 1000;
// Bytes the input may allocate beyond what the interpreter held when it started.
constexpr long MEMORY_LIMIT = 32L * 1024 * 1024;

struct Budget
{
	long allocated;
	int checks;
};

inline Budget budget;

inline void* limitedAlloc(void* ud, void* block, size_t oldSize, size_t newSize)
{
	Budget* b = static_cast<Budget*>(ud);
	if (newSize == 0)
	{
		b->allocated -= static_cast<long>(oldSize);
		std::free(block);
		return nullptr;
	}
	if (newSize > oldSize && b->allocated + static_cast<long>(newSize - oldSize) > MEMORY_LIMIT)
		return nullptr;
	void* grown = std::realloc(block, newSize);
	if (grown)
		b->allocated += static_cast<long>(newSize) - static_cast<long>(oldSize);
	return grown;
}

inline void countInstructions(lua_State* lua, lua_Debug*)
{
	if (++budget.checks > MAX_CHECKS)
		luaL_error(lua, "instruction budget exceeded");
}

// Puts a fresh budget on the state's interpreter.
inline void limit(lua::LuaState& state)
{
	budget = Budget{0, 0};
	lua_State* lua = state.interpreter();
	lua_setallocf(lua, limitedAlloc, &budget);
	lua_sethook(lua, countInstructions, LUA_MASKCOUNT, INSTRUCTIONS_PER_CHECK);
}

} // namespace luafuzz

#endif
