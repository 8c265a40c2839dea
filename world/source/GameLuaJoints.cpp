#include <world/GameLua.h>

int GameLua::createJointLua(lua::LuaState* lua)
{
	return 0;
}

int GameLua::createJoints(lua::LuaState* lua)
{
	return 0;
}

void GameLua::destroyJointLua(const lang::String&)
{
}

int GameLua::setJointParameters(lua::LuaState* lua)
{
	return 0;
}

void GameLua::removeJointsFromObject(const lang::String&)
{
}

void GameLua::checkJointLimits(const lang::String&)
{
}
