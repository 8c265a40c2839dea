#include <world/GameLua.h>

void GameLua::logAnalyticsEvent(const lang::String&)
{
}

void GameLua::logAnalyticsEventWithParam(const lang::String&, const lang::String&, const lang::String&)
{
}

void GameLua::logAnalyticsEventWithParams(const lang::String&, const lang::String&)
{
}
