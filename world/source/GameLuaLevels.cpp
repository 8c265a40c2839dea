#include <world/GameLua.h>

void GameLua::loadLevel(const lang::String&)
{
}

void GameLua::saveLevel(const lang::String&)
{
}
