#include <world/GameLua.h>

void GameLua::drawParticles()
{
}

void GameLua::drawMenuParticles()
{
}

void GameLua::updateMenuParticles(float)
{
}

void GameLua::setMenuParticlesScale(float)
{
}

void GameLua::clearParticles()
{
}

void GameLua::enableInGameParticles(bool)
{
}
