#include <world/GameLua.h>

void GameLua::update(float)
{
}
