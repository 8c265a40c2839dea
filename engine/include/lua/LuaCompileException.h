#ifndef LUA_LUACOMPILEEXCEPTION_H
#define LUA_LUACOMPILEEXCEPTION_H

#include <lua/LuaException.h>

namespace lua {

// Lua text that does not compile, or a precompiled chunk where only source is taken:
// "Error while compiling Lua: {0}", {0} the compiler's own message. Carries only its message, by value.
class LuaCompileException : public LuaException
{
public:
	explicit LuaCompileException(const lang::String& compilerMessage) :
		LuaException(lang::Format("Error while compiling Lua: {0}", compilerMessage))
	{
	}

	// What the compiler said, without the text around it.
	const lang::String& compilerMessage() const { return getMessage().argument(0).string(); }
};

} // lua

#endif
