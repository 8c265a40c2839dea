#ifndef WORLD_GAMEANALYTICS_H
#define WORLD_GAMEANALYTICS_H

#include <lang/Hashtable.h>
#include <lang/String.h>
#include <string>

namespace lua { class LuaTable; }

// The game's bridge to the analytics agent: converts the engine's texts and tables for it and
// fixes the session settings the game wants. Static operations only, no state.
class GameAnalytics
{
public:
	typedef lang::Hashtable<lang::String, lang::String, lang::Hash<lang::String>> Parameters;

	// The game's application key.
	static constexpr const char* API_KEY = "Q7ZKX2MRT9BWDH4PLNC8";

	GameAnalytics() = delete;

	// Once, before any event: no reports on close or on pause.
	static void startSession(const char* key);
	static void logEvent(const lang::String& name);
	static void logEvent(const lang::String& name, const Parameters& parameters);
	static void logEvent(const lang::String& name, const lang::String& key, const lang::String& value);
	static void endSession();

	// The bodies of the game world's script methods of the same names.
	static void logAnalyticsEvent(const lang::String& name);
	static void logAnalyticsEventWithParam(const lang::String& name, const lang::String& key, const lang::String& value);
	// Sends the string-to-string pairs of owner's table under tableName; other pairs are skipped.
	// A missing table throws the typed read's script error before anything is sent.
	static void logAnalyticsEventWithParams(const lang::String& name, const lua::LuaTable& owner, const lang::String& tableName);

	// A text for the agent: the UTF-8 bytes up to the first zero byte.
	static std::string agentText(const lang::String& text);
};

#endif
