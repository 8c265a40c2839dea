#include <world/GameLua.h>

void GameLua::saveLuaFile(const lang::String&, const lang::String&, bool)
{
}

bool GameLua::checkForLuaFile(const lang::String&)
{
	return false;
}

int GameLua::loadLuaFileToObject(lua::LuaState* lua)
{
	return 0;
}
