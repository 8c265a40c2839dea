#include <world/GameLua.h>

void GameLua::startNewTrajectory()
{
}

void GameLua::addToTrajectory(float, float, float)
{
}

void GameLua::addPuffToTrajectory(float, float, float)
{
}

void GameLua::clearTrajectories()
{
}
