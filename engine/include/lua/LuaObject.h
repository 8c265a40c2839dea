#ifndef LUA_LUAOBJECT_H
#define LUA_LUAOBJECT_H

#include <lang/String.h>
#include <lua/LuaException.h>
#include <lua/LuaFunctor.h>
#include <lua/LuaRawMethodDispatcher.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <lua/LuaStateMethodDispatcher.h>
#include <lua/LuaTable.h>

namespace lua {

// A system object published to scripts as a table: field 0 holds the object's address, "_G" the
// globals and "this" the table itself, and each registered method is a native closure carrying
// its functor. Derived classes register their methods in their constructors. Must be released
// before its LuaState; once it is destroyed, closures that scripts still hold raise a script
// error instead of reaching it.
class LuaObject : public LuaTable
{
public:
	explicit LuaObject(LuaState* state);
	~LuaObject() override;

	LuaObject(const LuaObject&) = delete;
	LuaObject& operator=(const LuaObject&) = delete;

	// Stores a native closure of dispatch with the functor's three words as upvalues under name,
	// replacing an earlier registration of the name.
	void registerClosure(const char* name, const LuaFunctor* functor, lua_CFunction dispatch);

	// A member that reads its arguments and pushes its results itself.
	template <class T>
	void registerLuaMethod(const char* name, T* object, int (T::*method)(LuaState*))
	{
		const LuaFunctor functor(object, method);
		registerClosure(name, &functor, &LuaStateMethodDispatcher<T>::dispatch);
	}

	// A member with float, bool and lang::String parameters and a void, bool, float or
	// lang::String result.
	template <class T, class R, class... A>
	void registerMethod(const char* name, T* object, R (T::*method)(A...))
	{
		const LuaFunctor functor(object, method);
		registerClosure(name, &functor, &LuaRawMethodDispatcher<T, R(A...)>::dispatch);
	}

	// Calls the function stored in this table under name (a raw read: the script must have
	// defined it here) with lang::String, char const*, float and bool arguments and no results.
	// A missing function or a script error throws LuaException; an exception of a bound method
	// arrives as it was thrown. The stack top is unchanged afterwards.
	template <class... A>
	void call(const char* name, const A&... arguments)
	{
		lang::String error;
		if (!tryCall(name, error, arguments...))
			lang::throwError(LuaException(lang::Format("{0}", error)));
	}

	// As call, for callers that go on after a script error: a missing function or a script error
	// returns false with its text in error, and no exception is made for it.
	template <class... A>
	bool tryCall(const char* name, lang::String& error, const A&... arguments)
	{
		LuaState* luaState = state();
		LuaStackRestore restore(luaState);
		pushMember(name);
		(pushArgument(luaState, arguments), ...);
		return luaState->tryCall(static_cast<int>(sizeof...(A)), 0, error);
	}

private:
	static void pushArgument(LuaState* state, const lang::String& value) { state->pushString(value); }
	static void pushArgument(LuaState* state, const char* value) { state->pushString(value); }
	static void pushArgument(LuaState* state, float value) { state->pushNumber(value); }
	static void pushArgument(LuaState* state, bool value) { state->pushBoolean(value); }

	// Registry reference of the list of every closure registered, so that the destructor can
	// cut them off from the object.
	int m_methods;
};

} // lua

#endif
