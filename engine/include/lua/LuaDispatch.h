#ifndef LUA_LUADISPATCH_H
#define LUA_LUADISPATCH_H

#include <lua.h>

namespace lua {

class LuaFunctor;
class LuaState;

// The part of every bound method's dispatch that does not depend on its signature: finds the
// state and the functor, makes the state work on the calling thread, refuses a method whose
// object was destroyed, and turns any C++ exception of the method into a Lua error that carries
// it to the protected-call boundary, where it is rethrown as it was thrown.
class LuaDispatch
{
public:
	// Converts the arguments, calls the member and pushes its results; returns their count.
	using Body = int (*)(LuaState* state, const LuaFunctor& functor);

	static int run(lua_State* lua, Body body);

private:
	// Raises the exception being handled as a Lua error that carries it; never returns.
	[[gnu::noinline]] static int raiseCurrentException(LuaState* state, lua_State* lua);
};

} // lua

#endif
