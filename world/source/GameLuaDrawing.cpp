#include <world/GameLua.h>

void GameLua::drawRect(float, float, float, float, float, float, float, float, bool)
{
}

void GameLua::drawTexturedRect(const lang::String&, float, float, float, float, bool)
{
}

void GameLua::drawGame()
{
}

void GameLua::drawLine2D(float, float, float, float, float, float, float, float, float)
{
}

void GameLua::drawCompoSpriteLua(const lang::String&, float, float)
{
}

void GameLua::clipText(const lang::String&, const lang::String&, float)
{
}
