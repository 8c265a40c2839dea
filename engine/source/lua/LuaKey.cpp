#include <lua/LuaKey.h>

#include <lua/LuaState.h>

#include <lauxlib.h>

namespace lua {

LuaKey::LuaKey(LuaState* state, const char* text) :
	m_state(state)
{
	lua_State* lua = state->interpreter();
	lua_pushstring(lua, text);
	m_reference = luaL_ref(lua, LUA_REGISTRYINDEX);
}

LuaKey::~LuaKey()
{
	luaL_unref(m_state->interpreter(), LUA_REGISTRYINDEX, m_reference);
}

void LuaKey::push(lua_State* lua) const
{
	lua_rawgeti(lua, LUA_REGISTRYINDEX, m_reference);
}

} // lua
