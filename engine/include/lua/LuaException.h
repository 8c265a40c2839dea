#ifndef LUA_LUAEXCEPTION_H
#define LUA_LUAEXCEPTION_H

#include <lang/Exception.h>

namespace lua {

// A script error or a misuse of the Lua state or its tables; it carries only its message, by value.
class LuaException : public lang::Exception
{
public:
	LuaException() = default;
	LuaException(const lang::Format& message) : lang::Exception(message) {}
};

} // lua

#endif
