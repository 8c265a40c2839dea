#ifndef LUA_LUARAWMETHODDISPATCHER_H
#define LUA_LUARAWMETHODDISPATCHER_H

#include <lua/LuaDispatch.h>
#include <lua/LuaFunctor.h>
#include <lua/ReturnValue.h>

namespace lua {

// The native function of a bound member of class T with typed arguments and result, Signature
// being its function type, such as void(lang::String, float, float). Scripts call it with the
// dot form: the arguments start at stack position 1.
template <class T, class Signature>
class LuaRawMethodDispatcher;

template <class T, class R, class... A>
class LuaRawMethodDispatcher<T, R(A...)>
{
public:
	using Method = R (T::*)(A...);

	static int dispatch(lua_State* lua) { return LuaDispatch::run(lua, &invoke); }

private:
	static int invoke(LuaState* state, const LuaFunctor& functor)
	{
		return ReturnValue<R>::callMethod(state, functor.object<T>(), functor.method<Method>());
	}
};

} // lua

#endif
