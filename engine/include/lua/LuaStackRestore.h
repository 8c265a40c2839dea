#ifndef LUA_LUASTACKRESTORE_H
#define LUA_LUASTACKRESTORE_H

#include <lua/LuaState.h>

namespace lua {

// Scope guard that puts an interpreter stack's top back where it was when the guard was made,
// on a normal return and while an exception passes. Lives on the caller's stack only.
class LuaStackRestore
{
public:
	explicit LuaStackRestore(lua_State* lua) : m_lua(lua), m_top(lua_gettop(lua)) {}
	// Guards the stack that the state's operations currently work on.
	explicit LuaStackRestore(LuaState* state) : LuaStackRestore(state->interpreter()) {}
	~LuaStackRestore() { lua_settop(m_lua, m_top); }

	LuaStackRestore(const LuaStackRestore&) = delete;
	LuaStackRestore& operator=(const LuaStackRestore&) = delete;

private:
	lua_State* m_lua;
	int m_top;
};

} // lua

#endif
