#include <world/GameLua.h>

#include <lang/Exception.h>

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

void GameLua::loadLuaFile(const lang::String&, const lang::String&, bool, bool)
{
}

void GameLua::compile(const lang::String&)
{
}

void GameLua::readShippedFile(const lang::String&, io::ByteArrayInputStream&) const
{
	lang::throwError(lang::Exception());
}
