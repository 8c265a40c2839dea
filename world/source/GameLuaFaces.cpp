#include <world/GameLua.h>

int GameLua::setComboSprites(lua::LuaState* lua)
{
	return 0;
}
