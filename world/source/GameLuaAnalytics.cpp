#include <world/GameLua.h>

#include <world/GameAnalytics.h>

void GameLua::logAnalyticsEvent(const lang::String& name)
{
	GameAnalytics::logAnalyticsEvent(name);
}

void GameLua::logAnalyticsEventWithParam(const lang::String& name, const lang::String& key, const lang::String& value)
{
	GameAnalytics::logAnalyticsEventWithParam(name, key, value);
}

// The parameters are the string pairs of the named table of the game world's own table.
void GameLua::logAnalyticsEventWithParams(const lang::String& name, const lang::String& tableName)
{
	GameAnalytics::logAnalyticsEventWithParams(name, *this, tableName);
}
