#include <world/GameAnalytics.h>
#include <agent/AnalyticsAPI.h>
#include <lang/Debug.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>
#include <cstring>
#include <map>

std::string GameAnalytics::agentText(const lang::String& text)
{
	const char* bytes = text.c_str();
	return std::string(bytes, strnlen(bytes, static_cast<size_t>(text.length())));
}

void GameAnalytics::startSession(const char* key)
{
	lang::Debug::printf("Starting Analytics session. key = %s\n", key);
	AnalyticsAPI::startSession(key);
	AnalyticsAPI::setSessionReportsOnCloseEnabled(false);
	AnalyticsAPI::setSessionReportsOnPauseEnabled(false);
}

void GameAnalytics::logEvent(const lang::String& name)
{
	AnalyticsAPI::logEvent(agentText(name));
}

void GameAnalytics::logEvent(const lang::String& name, const Parameters& parameters)
{
	std::map<std::string, std::string> converted;
	for (const auto& pair : parameters)
		converted[agentText(pair.key)] = agentText(pair.value);
	AnalyticsAPI::logEvent(agentText(name), converted);
}

void GameAnalytics::logEvent(const lang::String& name, const lang::String& key, const lang::String& value)
{
	Parameters parameters;
	parameters[key] = value;
	logEvent(name, parameters);
}

void GameAnalytics::endSession()
{
}

void GameAnalytics::logAnalyticsEvent(const lang::String& name)
{
	lang::Debug::printf("Logging analytics event: name=%s\n", name.c_str());
	logEvent(name);
}

void GameAnalytics::logAnalyticsEventWithParam(const lang::String& name, const lang::String& key, const lang::String& value)
{
	lang::Debug::printf("Logging analytics event: name=%s paramname=%s paramvalue=%s\n", name.c_str(), key.c_str(), value.c_str());
	logEvent(name, key, value);
}

void GameAnalytics::logAnalyticsEventWithParams(const lang::String& name, const lua::LuaTable& owner, const lang::String& tableName)
{
	lang::Debug::printf("Logging analytics event with params: event=%s\n", name.c_str());
	const lua::LuaTable table = owner.getTable(tableName);
	Parameters parameters;
	lua::LuaState* state = table.state();
	{
		lua::LuaStackRestore restore(state);
		lua_State* lua = state->interpreter();
		lua::LuaState::pushTable(lua, &table);
		const int index = state->top();
		state->pushNil();
		while (state->next(index))
		{
			// Raw type tests: numbers are not texts here.
			if (lua_type(lua, -2) == LUA_TSTRING && lua_type(lua, -1) == LUA_TSTRING)
			{
				size_t keyLength = 0, valueLength = 0;
				const char* key = lua_tolstring(lua, -2, &keyLength);
				const char* value = lua_tolstring(lua, -1, &valueLength);
				lang::Debug::printf("Param: %s = %s\n", key, value);
				parameters[lang::String(key, static_cast<int>(keyLength))] = lang::String(value, static_cast<int>(valueLength));
			}
			state->pop(1);
		}
	}
	logEvent(name, parameters);
}
