#include <world/GameLua.h>

int GameLua::getIntersectingObjects(lua::LuaState* lua)
{
	return 0;
}

int GameLua::getRayCastedObjects(lua::LuaState* lua)
{
	return 0;
}
