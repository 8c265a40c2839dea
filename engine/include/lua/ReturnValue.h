#ifndef LUA_RETURNVALUE_H
#define LUA_RETURNVALUE_H

#include <lang/String.h>
#include <lua/LuaArgument.h>
#include <lua/LuaState.h>
#include <tuple>
#include <type_traits>
#include <utility>

namespace lua {

// Calls the member with its arguments converted from stack positions 1 to n; the braced
// initialisation converts them strictly from left to right.
template <class T, class R, class... A, std::size_t... I>
R invokeWithArguments([[maybe_unused]] LuaState* state, T* object, R (T::*method)(A...), std::index_sequence<I...>)
{
	std::tuple<std::decay_t<A>...> arguments{LuaArgument<std::decay_t<A>>::get(state, static_cast<int>(I) + 1)...};
	return (object->*method)(std::get<I>(std::move(arguments))...);
}

// Calls a bound member and pushes its result by type R (bool, float or lang::String); returns
// the number of results pushed.
template <class R>
struct ReturnValue
{
	template <class T, class... A>
	static int callMethod(LuaState* state, T* object, R (T::*method)(A...))
	{
		push(state, invokeWithArguments(state, object, method, std::index_sequence_for<A...>()));
		return 1;
	}

private:
	static void push(LuaState* state, bool value) { state->pushBoolean(value); }
	static void push(LuaState* state, float value) { state->pushNumber(value); }
	static void push(LuaState* state, const lang::String& value) { state->pushString(value); }
};

// A void member pushes nothing.
template <>
struct ReturnValue<void>
{
	template <class T, class... A>
	static int callMethod(LuaState* state, T* object, void (T::*method)(A...))
	{
		invokeWithArguments(state, object, method, std::index_sequence_for<A...>());
		return 0;
	}
};

} // lua

#endif
