#ifndef TESTS_LUA_SCRIPTRUNNER_H
#define TESTS_LUA_SCRIPTRUNNER_H

#include <io/ByteArrayInputStream.h>
#include <lua/LuaException.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>

#include <cstring>
#include <string>

// Runs Lua text as a chunk named "test" (or name), with env as its environment when given.
inline void runScript(lua::LuaState& state, const char* text, lua::LuaTable* env = nullptr, const char* name = "test")
{
	io::ByteArrayInputStream in(text, static_cast<int>(std::strlen(text)));
	state.compile(&in, in.available(), name, env);
}

// The message of the LuaException that running the text throws; "no exception" when it runs.
inline std::string scriptError(lua::LuaState& state, const char* text, lua::LuaTable* env = nullptr)
{
	try
	{
		runScript(state, text, env);
	}
	catch (const lua::LuaException& e)
	{
		return e.getMessage().format().c_str();
	}
	return "no exception";
}

#endif
