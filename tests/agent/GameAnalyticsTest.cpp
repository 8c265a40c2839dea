#include "AgentTestSupport.h"
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionTarget.h>
#include <lua/LuaState.h>
#include <lua/LuaTable.h>
#include <world/GameAnalytics.h>
#include <memory>

namespace
{

using Parameters = std::map<std::string, std::string>;

// The session record the bridge's events reach.
class EventLog : public AnalyticsSessionTarget
{
public:
	void setSessionReportsOnCloseEnabled(bool enabled) override { reportsOnClose = enabled; }
	void setSessionReportsOnPauseEnabled(bool enabled) override { reportsOnPause = enabled; }
	void setEventLoggingEnabled(bool) override {}
	void setAge(int) override {}
	void setUserID(const std::string&) override {}
	void setGender(const std::string&) override {}
	void recordEvent(const std::string& name, const Parameters& parameters, bool) override { events.push_back({name, parameters}); }

	bool reportsOnClose = true;
	bool reportsOnPause = true;
	std::vector<std::pair<std::string, Parameters>> events;
};

class GameAnalyticsTest : public AgentSessionTest
{
protected:
	void SetUp() override
	{
		AgentSessionTest::SetUp();
		AnalyticsAPI::setCurrentSession(m_log);
	}

	std::shared_ptr<EventLog> m_log = std::make_shared<EventLog>();
};

} // namespace

TEST_F(GameAnalyticsTest, StartSessionSwitchesReportsOffForTheSessionItStarts)
{
	GameAnalytics::startSession(GameAnalytics::API_KEY);
	platform::BackgroundThreads::shared().joinAll();
	EXPECT_EQ("Q7ZKX2MRT9BWDH4PLNC8", AnalyticsAPI::apiKey());
	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();
	ASSERT_NE(nullptr, session);
	EXPECT_FALSE(session->sessionReportsOnCloseEnabled());
	EXPECT_FALSE(session->sessionReportsOnPauseEnabled());
	EXPECT_FALSE(AnalyticsAPI::settings().sessionReportsOnPauseEnabled);
}

TEST_F(GameAnalyticsTest, TextsKeepTheirUtf8BytesAndEndAtAZeroByte)
{
	GameAnalytics::logAnalyticsEvent("");
	GameAnalytics::logAnalyticsEventWithParam("niveau \xC3\xA9t\xC3\xA9 \xE2\x98\x85", "", "v");
	GameAnalytics::logEvent(lang::String("cut\0off", 7), lang::String("k\0x", 3), lang::String("\xF0\x9F\x8E\xAF\0tail", 9));
	ASSERT_EQ(3u, m_log->events.size());
	EXPECT_EQ("", m_log->events[0].first);
	EXPECT_TRUE(m_log->events[0].second.empty());
	EXPECT_EQ("niveau \xC3\xA9t\xC3\xA9 \xE2\x98\x85", m_log->events[1].first);
	EXPECT_EQ((Parameters{{"", "v"}}), m_log->events[1].second);
	EXPECT_EQ("cut", m_log->events[2].first);
	EXPECT_EQ((Parameters{{"k", "\xF0\x9F\x8E\xAF"}}), m_log->events[2].second);
}

TEST_F(GameAnalyticsTest, ATableSendsOnlyItsStringToStringPairs)
{
	lua::LuaState state;
	lua::LuaTable mixed(&state);
	mixed.setString("level", "3-1");
	mixed.setString("mode", "\xC3\xA9lite");
	mixed.setNumber("score", 1200);
	mixed.setString(1, lang::String("indexed"));
	mixed.setBoolean("won", true);
	lua::LuaTable numbers(&state);
	numbers.setNumber("stars", 3);
	lua::LuaTable owner(&state);
	owner.setTable("mixed", mixed);
	owner.setTable("numbers", numbers);
	const int top = state.top();
	GameAnalytics::logAnalyticsEventWithParams("levelDone", owner, "mixed");
	GameAnalytics::logAnalyticsEventWithParams("levelDone", owner, "numbers");
	EXPECT_EQ(top, state.top());
	ASSERT_EQ(2u, m_log->events.size());
	EXPECT_EQ((Parameters{{"level", "3-1"}, {"mode", "\xC3\xA9lite"}}), m_log->events[0].second);
	EXPECT_TRUE(m_log->events[1].second.empty());
}
