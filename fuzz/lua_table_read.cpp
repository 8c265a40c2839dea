// Reads arbitrary text into a table the way saved files are read, writes the table back as text
// and reads that again: whatever write produces must compile. Each input runs on a fresh
// interpreter with an instruction budget and a memory limit, so loops and runaway allocations in
// the input end as script errors instead of stalling the fuzzer.
#include <io/ByteArrayInputStream.h>
#include <io/ByteArrayOutputStream.h>
#include <lang/Throwable.h>
#include <lua/LuaException.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <lauxlib.h>

namespace {

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

Budget budget;

void* limitedAlloc(void* ud, void* block, size_t oldSize, size_t newSize)
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

void countInstructions(lua_State* lua, lua_Debug*)
{
	if (++budget.checks > MAX_CHECKS)
		luaL_error(lua, "instruction budget exceeded");
}

// Fills table from text; false when the text fails to compile or to run.
bool read(lua::LuaTable& table, const void* text, int size)
{
	io::ByteArrayInputStream in(text, size);
	try
	{
		table.read(&in);
		return true;
	}
	catch (const lang::Throwable&)
	{
		return false;
	}
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	budget = Budget{0, 0};
	lua::LuaState state;
	lua_State* lua = state.interpreter();
	lua_setallocf(lua, limitedAlloc, &budget);
	lua_sethook(lua, countInstructions, LUA_MASKCOUNT, INSTRUCTIONS_PER_CHECK);

	lua::LuaTable table(&state);
	if (!read(table, data, static_cast<int>(size)))
		return 0;
	io::ByteArrayOutputStream out;
	try
	{
		table.write(&out, 0, false);
	}
	catch (const lang::Throwable&)
	{
		return 0;
	}

	budget.checks = 0;
	io::ByteArrayInputStream written(out.data(), out.size());
	try
	{
		// Made in here: with the memory limit reached, even an empty table fails.
		lua::LuaTable copy(&state);
		copy.read(&written);
	}
	catch (const lua::LuaException& e)
	{
		// Only a memory or budget failure may stop written text; a compile error is a writer fault.
		const lang::String message = e.getMessage().format();
		if (std::strncmp(message.c_str(), "Error while compiling", 21) == 0 && !std::strstr(message.c_str(), "not enough memory"))
			std::abort();
	}
	return 0;
}
