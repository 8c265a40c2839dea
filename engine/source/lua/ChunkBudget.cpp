#include "ChunkBudget.h"

#include <lang/Format.h>
#include <lua/LuaException.h>
#include <algorithm>
#include <lauxlib.h>

namespace lua {

namespace {

// Instructions between looks at the clock; each takes at most the time its largest block allows,
// so the deadline is seen soon after it passes.
constexpr int CLOCK_STEP = 1000;

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
	m_instructionsLeft(budget.instructions),
	m_step(0),
	m_deadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(budget.milliseconds)),
	m_spent(Spent::NOTHING)
{
	lua_pushliteral(lua, "");
	if (!lua_getmetatable(lua, -1))
		lua_pushnil(lua);
	m_stringMethods = luaL_ref(lua, LUA_REGISTRYINDEX);
	lua_pop(lua, 1);
	lua_pushnil(lua);
	setStringMetatable(lua);
	m_step = nextStep();
	lua_sethook(lua, count, LUA_MASKCOUNT, m_step);
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
	switch (m_spent)
	{
	case Spent::INSTRUCTIONS:
		lang::throwError(LuaException(lang::Format("{0} ran past its budget of {1} instructions", name, m_budget.instructions)));
	case Spent::BYTES:
		lang::throwError(LuaException(lang::Format("{0} took more than its budget of {1} bytes", name, m_budget.bytes)));
	case Spent::BLOCK:
		lang::throwError(LuaException(lang::Format("{0} asked for a block of more than {1} bytes", name, m_budget.blockBytes)));
	case Spent::TIME:
		lang::throwError(LuaException(lang::Format("{0} ran past its deadline of {1} ms", name, m_budget.milliseconds)));
	case Spent::NOTHING:
		break;
	}
}

int ChunkBudget::nextStep() const
{
	return static_cast<int>(std::max(1LL, std::min<long long>(CLOCK_STEP, m_instructionsLeft)));
}

// The first part to run out is the one the chunk is stopped for.
void ChunkBudget::spend(Spent part)
{
	if (m_spent == Spent::NOTHING)
		m_spent = part;
}

// Growth past the budget, and a block past the largest, are refused, which the interpreter raises
// as a memory error; shrinking never fails, as the interpreter requires.
void* ChunkBudget::allocate(void* data, void* block, size_t oldSize, size_t newSize)
{
	ChunkBudget* budget = static_cast<ChunkBudget*>(data);
	const long long growth = static_cast<long long>(newSize) - static_cast<long long>(oldSize);
	if (growth > budget->m_bytesLeft)
	{
		budget->spend(Spent::BYTES);
		return nullptr;
	}
	if (growth > 0 && newSize > static_cast<size_t>(std::max(0, budget->m_budget.blockBytes)))
	{
		budget->spend(Spent::BLOCK);
		return nullptr;
	}
	void* const result = budget->m_allocate(budget->m_allocateData, block, oldSize, newSize);
	if (result || newSize == 0)
		budget->m_bytesLeft -= growth;
	return result;
}

// Called after each step of instructions; the budget is the allocator's data meanwhile.
void ChunkBudget::count(lua_State* lua, lua_Debug*)
{
	void* data = nullptr;
	lua_getallocf(lua, &data);
	ChunkBudget* budget = static_cast<ChunkBudget*>(data);
	budget->m_instructionsLeft -= budget->m_step;
	if (budget->m_instructionsLeft <= 0)
	{
		budget->spend(Spent::INSTRUCTIONS);
		luaL_error(lua, "instruction budget spent");
	}
	if (std::chrono::steady_clock::now() >= budget->m_deadline)
	{
		budget->spend(Spent::TIME);
		luaL_error(lua, "deadline passed");
	}
	budget->m_step = budget->nextStep();
	lua_sethook(lua, count, LUA_MASKCOUNT, budget->m_step);
}

} // lua
