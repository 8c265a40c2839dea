#include <lua/LuaObject.h>

#include <lauxlib.h>

namespace lua {

namespace {

// The table's field under which it holds the object's address.
constexpr int OBJECT_SLOT = 0;
// Upvalue of a bound method's closure that holds the object pointer.
constexpr int OBJECT_UPVALUE = 1;

} // namespace

LuaObject::LuaObject(LuaState* state) :
	LuaTable(state),
	m_methods(LUA_NOREF)
{
	lua_State* lua = state->interpreter();
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, this);
	state->pushLightUserData(this);
	state->rawSetI(-2, OBJECT_SLOT);
	state->pushString("_G");
	LuaState::pushTable(lua, &state->globals());
	state->setTable(-3);
	state->pushString("this");
	state->push(-2);
	state->setTable(-3);
	state->newTable();
	m_methods = luaL_ref(lua, LUA_REGISTRYINDEX);
}

// Scripts may keep the table and the closures: both are cut off from the object, so that a late
// call raises a script error instead of reaching freed memory.
LuaObject::~LuaObject()
{
	lua_State* lua = state()->interpreter();
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, this);
	lua_pushnil(lua);
	lua_rawseti(lua, -2, OBJECT_SLOT);
	lua_rawgeti(lua, LUA_REGISTRYINDEX, m_methods);
	const int count = static_cast<int>(lua_objlen(lua, -1));
	for (int method = 1; method <= count; ++method)
	{
		lua_rawgeti(lua, -1, method);
		lua_pushnil(lua);
		lua_setupvalue(lua, -2, OBJECT_UPVALUE);
		lua_pop(lua, 1);
	}
	luaL_unref(lua, LUA_REGISTRYINDEX, m_methods);
}

void LuaObject::registerClosure(const char* name, const LuaFunctor* functor, lua_CFunction dispatch)
{
	LuaState* luaState = state();
	lua_State* lua = luaState->interpreter();
	LuaStackRestore restore(lua);
	LuaState::pushTable(lua, this);
	luaState->pushString(name);
	for (int word = 0; word < LuaFunctor::WORDS; ++word)
		luaState->pushLightUserData(functor->word(word));
	luaState->pushCClosure(dispatch, LuaFunctor::WORDS);
	lua_rawgeti(lua, LUA_REGISTRYINDEX, m_methods);
	lua_pushvalue(lua, -2);
	lua_rawseti(lua, -2, static_cast<int>(lua_objlen(lua, -2)) + 1);
	lua_pop(lua, 1);
	luaState->setTable(-3);
}

} // lua
