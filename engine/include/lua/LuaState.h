#ifndef LUA_LUASTATE_H
#define LUA_LUASTATE_H

#include <lang/Object.h>
#include <lang/String.h>
#include <lua/LuaTable.h>
#include <exception>
#include <lua.h>

namespace io { class InputStream; }

namespace lua {

class LuaFunctor;

// The process's Lua interpreter. Owned by reference count; every LuaTable and LuaObject made on
// it holds a raw pointer to it and must be released before it. Every entry from C++ into Lua is
// a protected call: a script error arrives as LuaException, and an exception thrown by a bound
// method arrives as itself, with the interpreter left consistent and in use.
class LuaState : public lang::Object
{
public:
	// The interpreter's type codes; INVALID for a stack position above the top.
	enum Type
	{
		INVALID = LUA_TNONE,
		NIL = LUA_TNIL,
		BOOLEAN = LUA_TBOOLEAN,
		LIGHTUSERDATA = LUA_TLIGHTUSERDATA,
		NUMBER = LUA_TNUMBER,
		STRING = LUA_TSTRING,
		TABLE = LUA_TTABLE,
		FUNCTION = LUA_TFUNCTION,
		USERDATA = LUA_TUSERDATA,
		THREAD = LUA_TTHREAD
	};

	// Opens the base, package, table, io, os, string and math libraries and replaces the global
	// "error". Throws LuaException when the interpreter cannot be made.
	LuaState();
	~LuaState() override;

	LuaState(const LuaState&) = delete;
	LuaState& operator=(const LuaState&) = delete;

	LuaTable& globals() { return m_globals; }
	// The thread whose stack the operations below work on: the main thread, or the coroutine
	// running the bound method that is being dispatched.
	lua_State* interpreter() const { return m_thread; }

	// Calls the function below the nargs pushed arguments in protected mode and leaves nresults
	// results. A script error throws LuaException; an exception of a bound method is rethrown
	// as it was thrown. Function and arguments are popped either way.
	void call(int nargs, int nresults);
	// As call, for callers that go on after a script error: the error returns false with its
	// text in error, and no exception is made for it. An exception of a bound method is still
	// rethrown as it was thrown.
	bool tryCall(int nargs, int nresults, lang::String& error);
	// Loads size bytes of source or precompiled chunk from in under the chunk name, gives it env
	// as its environment when env is not null, and runs it. The stack top is unchanged after it.
	void compile(io::InputStream* in, int size, const lang::String& name, LuaTable* env);

	int top() const { return lua_gettop(m_thread); }
	void pop(int n) { lua_settop(m_thread, -n - 1); }
	Type type(int index) const { return static_cast<Type>(lua_type(m_thread, index)); }
	void push(int index) { lua_pushvalue(m_thread, index); }
	void pushNil() { lua_pushnil(m_thread); }
	void pushNumber(float value) { lua_pushnumber(m_thread, value); }
	void pushBoolean(bool value) { lua_pushboolean(m_thread, value); }
	void pushString(const char* text) { lua_pushstring(m_thread, text); }
	void pushString(const lang::String& text) { pushString(m_thread, text); }
	void pushLightUserData(void* pointer) { lua_pushlightuserdata(m_thread, pointer); }
	void pushCClosure(lua_CFunction function, int n) { lua_pushcclosure(m_thread, function, n); }
	void newTable() { lua_createtable(m_thread, 0, 0); }

	// Lenient tests: a numeric string is a number, a number is a string.
	bool isNumber(int index) const { return lua_isnumber(m_thread, index) != 0; }
	bool isString(int index) const { return lua_isstring(m_thread, index) != 0; }
	// Exact tests.
	bool isTable(int index) const { return type(index) == TABLE; }
	bool isBoolean(int index) const { return type(index) == BOOLEAN; }

	// Exact conversions: another type (a numeric string for a number, a number for a string,
	// nil for a boolean) throws the type message.
	float toNumber(int index) const;
	// The text belongs to the interpreter and stays valid while the value stays on the stack.
	const char* toString(int index) const;
	bool toBoolean(int index) const;
	// A new handle holding its own registry reference to the table at index.
	LuaTable toTable(int index) const;

	// Raw set of table[n] to the value on the top, which is popped.
	void rawSetI(int index, int n);
	// lua_next on the table at index; true while a pair was pushed.
	bool next(int index);
	// table[key] = value with the key and value on the top, both popped.
	void setTable(int index);

	// Throws LuaException "Excepted type {0} at stack position {1} but found {2}{3}" with the
	// call-stack text when the value at index is not of the expected type.
	void checkType(int index, Type expected) const;

	static void pushString(lua_State* lua, const char* text) { lua_pushstring(lua, text); }
	// The bytes up to the first zero byte.
	static void pushString(lua_State* lua, const lang::String& text) { lua_pushstring(lua, text.c_str()); }
	// Pushes nil when table is null or unbound.
	static void pushTable(lua_State* lua, const LuaTable* table);
	// "NIL", "BOOLEAN", ..., "INVALID" for anything not a type code.
	static const char* toString(Type type);
	// The LuaState owning lua (any of its threads) and the functor in the running native
	// closure's three upvalues.
	static void getDispatchData(lua_State* lua, LuaState** state, LuaFunctor* functor);
	// The script-visible "error": the top value's text followed by the call-stack text.
	static int handleError(lua_State* lua);
	// Appends the call-stack text ("\nCall stack:\n", a "source(line)\n" per level, at most 10,
	// then "(end)\n"; or " (call stack not available)") to a zero-terminated buffer of size bytes,
	// dropping whatever does not fit.
	static void appendStackTrace(char* buffer, int size, lua_State* lua);
	// Throws the type message for the value found at index (found may be INVALID).
	[[noreturn]] static void throwTypeError(lua_State* lua, int index, Type expected, Type found);

private:
	friend class LuaDispatch;
	friend class LuaTable;

	// Raises a Lua error on lua whose value is text and which stands for failure: at the
	// protected-call boundary the failure is rethrown as it is; a null failure stands for a
	// LuaException with the text. The message handler leaves such an error's text unchanged.
	int raise(lua_State* lua, std::exception_ptr failure, const char* text);
	// Turns the error value on the top of lua (popped) into the exception that leaves the
	// interpreter: the pending failure of the text last raised, otherwise a LuaException with the
	// value's text, followed by the call-stack text when appendStack.
	[[noreturn]] void throwFailure(lua_State* lua, bool appendStack);
	// Pops the error value on the top of lua and returns its text, followed by the call-stack text
	// when appendStack; failure becomes the pending failure when the value is the text last raised.
	lang::String takeError(lua_State* lua, bool appendStack, std::exception_ptr& failure);
	// compile; with sourceOnly a precompiled chunk is refused as a compile error, and with a budget
	// the chunk is held to it (see LuaTable::read).
	void load(io::InputStream* in, int size, const lang::String& name, LuaTable* env, bool sourceOnly,
		const LuaTable::Budget* budget);
	void handleLoadResult(int result, const lang::String& name, LuaTable* env);
	void clearPendingFailure();

	static LuaState* owner(lua_State* lua);
	static int handlePanic(lua_State* lua);
	static int handleMessage(lua_State* lua);
	static const char* loadFile(lua_State* lua, void* data, size_t* size);

	lua_State* m_interpreter;
	LuaTable m_globals;
	lua_State* m_thread;
	int m_messageHandler;
	int m_callDepth;
	std::exception_ptr m_pendingFailure;
};

} // lua

#endif
