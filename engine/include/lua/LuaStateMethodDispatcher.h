#ifndef LUA_LUASTATEMETHODDISPATCHER_H
#define LUA_LUASTATEMETHODDISPATCHER_H

#include <lua/LuaDispatch.h>
#include <lua/LuaFunctor.h>

namespace lua {

class LuaState;

// The native function of a bound member int (T::*)(LuaState*), which reads its own arguments
// and pushes its own results through the state it is given, returning their count.
template <class T>
class LuaStateMethodDispatcher
{
public:
	using Method = int (T::*)(LuaState*);

	static int dispatch(lua_State* lua) { return LuaDispatch::run(lua, &invoke); }

private:
	static int invoke(LuaState* state, const LuaFunctor& functor)
	{
		return (functor.object<T>()->*functor.method<Method>())(state);
	}
};

} // lua

#endif
