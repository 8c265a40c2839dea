#include <world/ScriptTableKeys.h>

#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>

lang::Array<lang::String> scriptTableStringKeys(const lua::LuaTable& table)
{
	lang::Array<lang::String> keys;
	lua::LuaState* lua = table.state();
	if (!table.isBound() || !lua)
		return keys;
	lua::LuaStackRestore restore(lua);
	lua::LuaState::pushTable(lua->interpreter(), &table);
	lua->pushNil();
	while (lua->next(-2))
	{
		// Only the key's type is tested: converting a number key to text would break the walk.
		if (lua->type(-2) == lua::LuaState::STRING)
			keys.add(lang::String(lua->toString(-2)));
		lua->pop(1);
	}
	return keys;
}
