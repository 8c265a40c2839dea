#include <world/GameLua.h>

void GameLua::createThemeSprite(const lang::String&, const lang::String&, float, float, float, float, float, float, float, bool)
{
}

void GameLua::removeThemeSprite(const lang::String&, float)
{
}

void GameLua::modifyThemeSprite(const lang::String&, float, float, float, float, float, float)
{
}

void GameLua::rotateThemeSprites(float)
{
}

void GameLua::setThemeSprite(const lang::String&, const lang::String&, float)
{
}

int GameLua::setRenderState(lua::LuaState* lua)
{
	return 0;
}

void GameLua::drawBackground()
{
}

void GameLua::drawLayer(float)
{
}

void GameLua::setTheme(const lang::String&)
{
}

void GameLua::drawForegroundNative()
{
}

int GameLua::setLayerOffSet(lua::LuaState* lua)
{
	return 0;
}
