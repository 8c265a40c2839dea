#ifndef LUA_CHUNKBUDGET_H
#define LUA_CHUNKBUDGET_H

#include <lang/String.h>
#include <lua/LuaTable.h>
#include <cstddef>
#include <lua.h>

namespace lua {

// Holds one chunk of outside data to a LuaTable::Budget while it compiles and runs on an
// interpreter thread: string values lose their methods (the string library's C functions run for
// as long as their arguments ask, unseen by any instruction count), the allocator refuses growth
// past the bytes, and a count hook stops the run after the instructions. The interpreter's own
// allocator, hook and string methods are back when it goes. Lives for one read; owns nothing.
class ChunkBudget
{
public:
	ChunkBudget(lua_State* lua, const LuaTable::Budget& budget);
	~ChunkBudget();
	ChunkBudget(const ChunkBudget&) = delete;
	ChunkBudget& operator=(const ChunkBudget&) = delete;

	// When the chunk named name ran out of its budget, throws LuaException "{0} ran past its budget
	// of {1} instructions" or "{0} took more than its budget of {1} bytes"; otherwise does nothing.
	void throwIfSpent(const lang::String& name) const;

private:
	static void* allocate(void* data, void* block, size_t oldSize, size_t newSize);
	static void stop(lua_State* lua, lua_Debug* record);

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
	bool m_bytesSpent;
	bool m_instructionsSpent;
};

} // lua

#endif
