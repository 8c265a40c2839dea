#include <world/GameLua.h>

void GameLua::postHighscore(const lang::String&, float)
{
}

void GameLua::unlockAchievement(const lang::String&, const lang::String&)
{
}

void GameLua::initGameCenter()
{
}

void GameLua::getLeaderboardScoresForRange(const lang::String&, float, float)
{
}

void GameLua::showLeaderboards()
{
}

void GameLua::showAchievements()
{
}
