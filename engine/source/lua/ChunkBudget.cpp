#include "ChunkBudget.h"

#include <lang/Format.h>
#include <lua/LuaException.h>
#include <lauxlib.h>

namespace lua {

namespace {

// Sets the metatable that every string value shares to the value on the top, which is popped.
void setStringMetatable(lua_State* lua)
{
	lua_pushliteral(lua, "");
	lua_insert(lua, -2);
	lua_setmetatable(lua, -2);
	lua_pop(lua, 1);
}

} // namespace

ChunkBudget::ChunkBudget(lua_State* lua, const LuaTable::Budget& budget) :
	m_lua(lua),
	m_budget(budget),
	m_allocate(lua_getallocf(lua, &m_allocateData)),
	m_hook(lua_gethook(lua)),
	m_hookMask(lua_gethookmask(lua)),
	m_hookCount(lua_gethookcount(lua)),
	m_stringMethods(LUA_REFNIL),
	m_bytesLeft(budget.bytes),
	m_bytesSpent(false),
	m_instructionsSpent(false)
{
	lua_pushliteral(lua, "");
	if (!lua_getmetatable(lua, -1))
		lua_pushnil(lua);
	m_stringMethods = luaL_ref(lua, LUA_REGISTRYINDEX);
	lua_pop(lua, 1);
	lua_pushnil(lua);
	setStringMetatable(lua);
	lua_sethook(lua, stop, LUA_MASKCOUNT, budget.instructions);
	// Last, so that the steps above are not charged to the chunk.
	lua_setallocf(lua, allocate, this);
}

ChunkBudget::~ChunkBudget()
{
	lua_setallocf(m_lua, m_allocate, m_allocateData);
	lua_sethook(m_lua, m_hook, m_hookMask, m_hookCount);
	lua_rawgeti(m_lua, LUA_REGISTRYINDEX, m_stringMethods);
	setStringMetatable(m_lua);
	luaL_unref(m_lua, LUA_REGISTRYINDEX, m_stringMethods);
}

void ChunkBudget::throwIfSpent(const lang::String& name) const
{
	if (m_instructionsSpent)
		lang::throwError(LuaException(lang::Format("{0} ran past its budget of {1} instructions", name, m_budget.instructions)));
	if (m_bytesSpent)
		lang::throwError(LuaException(lang::Format("{0} took more than its budget of {1} bytes", name, m_budget.bytes)));
}

// Growth past the budget is refused, which the interpreter raises as a memory error; shrinking
// never fails, as the interpreter requires.
void* ChunkBudget::allocate(void* data, void* block, size_t oldSize, size_t newSize)
{
	ChunkBudget* budget = static_cast<ChunkBudget*>(data);
	const long long growth = static_cast<long long>(newSize) - static_cast<long long>(oldSize);
	if (growth > budget->m_bytesLeft)
	{
		budget->m_bytesSpent = true;
		return nullptr;
	}
	void* const result = budget->m_allocate(budget->m_allocateData, block, oldSize, newSize);
	if (result || newSize == 0)
		budget->m_bytesLeft -= growth;
	return result;
}

// Called once, when the instructions are spent; the budget is the allocator's data meanwhile.
void ChunkBudget::stop(lua_State* lua, lua_Debug*)
{
	void* data = nullptr;
	lua_getallocf(lua, &data);
	static_cast<ChunkBudget*>(data)->m_instructionsSpent = true;
	luaL_error(lua, "instruction budget spent");
}

} // lua
