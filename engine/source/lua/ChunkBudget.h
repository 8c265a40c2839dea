#ifndef LUA_CHUNKBUDGET_H
#define LUA_CHUNKBUDGET_H

#include <lang/String.h>
#include <lua/LuaTable.h>
#include <chrono>
#include <cstddef>
#include <lua.h>

namespace lua {

// Holds one chunk of outside data to a LuaTable::Budget while it compiles and runs on an
// interpreter thread: string values lose their methods (the string library's C functions run for
// as long as their arguments ask, unseen by any instruction count), the allocator refuses growth
// past the bytes and any block past the largest, and a count hook stops the run after the
// instructions or past the deadline. The interpreter's own allocator, hook and string methods are
// back when it goes. Lives for one read; owns nothing.
class ChunkBudget
{
public:
	ChunkBudget(lua_State* lua, const LuaTable::Budget& budget);
	~ChunkBudget();
	ChunkBudget(const ChunkBudget&) = delete;
	ChunkBudget& operator=(const ChunkBudget&) = delete;

	// When the chunk named name ran out of its budget, throws LuaException "{0} ran past its budget
	// of {1} instructions", "{0} took more than its budget of {1} bytes", "{0} asked for a block of
	// more than {1} bytes" or "{0} ran past its deadline of {1} ms"; otherwise does nothing.
	void throwIfSpent(const lang::String& name) const;

private:
	// The part of the budget that ran out first.
	enum class Spent
	{
		NOTHING,
		INSTRUCTIONS,
		BYTES,
		BLOCK,
		TIME,
	};

	static void* allocate(void* data, void* block, size_t oldSize, size_t newSize);
	static void count(lua_State* lua, lua_Debug* record);
	// Instructions until the next look: a clock step, or what is left when that is less.
	int nextStep() const;
	void spend(Spent part);

	lua_State* m_lua;
	LuaTable::Budget m_budget;
	lua_Alloc m_allocate;
	void* m_allocateData;
	lua_Hook m_hook;
	int m_hookMask;
	int m_hookCount;
	// Registry reference of the strings' metatable (LUA_REFNIL when they had none).
	int m_stringMethods;
	// Bytes the chunk may still take; what it frees of older blocks counts in its favour.
	long long m_bytesLeft;
	// Instructions the chunk may still run, and those the hook counts down before its next look.
	long long m_instructionsLeft;
	int m_step;
	std::chrono::steady_clock::time_point m_deadline;
	Spent m_spent;
};

} // lua

#endif
