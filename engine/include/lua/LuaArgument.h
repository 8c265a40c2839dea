#ifndef LUA_LUAARGUMENT_H
#define LUA_LUAARGUMENT_H

#include <lang/String.h>
#include <lua/LuaState.h>

namespace lua {

// Exact conversion of a bound method's argument at a stack position: a value of another type
// throws the type message. Only the parameter types that bound methods may take are defined.
template <class T>
struct LuaArgument;

template <>
struct LuaArgument<float>
{
	static float get(LuaState* state, int index) { return state->toNumber(index); }
};

template <>
struct LuaArgument<bool>
{
	static bool get(LuaState* state, int index) { return state->toBoolean(index); }
};

// The bytes up to the first zero byte.
template <>
struct LuaArgument<lang::String>
{
	static lang::String get(LuaState* state, int index) { return lang::String(state->toString(index)); }
};

} // lua

#endif
