#include "AgentTestSupport.h"
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <agent/AnalyticsSessionTarget.h>
#include <platform/BackgroundThreads.h>
#include <atomic>
#include <memory>

namespace
{

// A session record that notes what reached it.
class RecordingSession : public AnalyticsSessionTarget
{
public:
	void setSessionReportsOnCloseEnabled(bool enabled) override { reportsOnClose = enabled; }
	void setSessionReportsOnPauseEnabled(bool enabled) override { reportsOnPause = enabled; }
	void setEventLoggingEnabled(bool enabled) override { eventLogging = enabled; }
	void setAge(int value) override { age = value; }
	void setUserID(const std::string& value) override { userID = value; }
	void setGender(const std::string& value) override { gender = value; }
	void recordEvent(const std::string& name, const std::map<std::string, std::string>& parameters, bool timed) override
	{
		events.push_back({name, parameters});
	}

	bool reportsOnClose = true;
	bool reportsOnPause = true;
	bool eventLogging = true;
	int age = -1;
	std::string userID;
	std::string gender;
	std::vector<std::pair<std::string, std::map<std::string, std::string>>> events;
};

// A session record that fails to take the user's facts.
class RefusingSession : public RecordingSession
{
public:
	void setUserID(const std::string&) override { throw std::runtime_error("user"); }
	void setGender(const std::string&) override { throw std::runtime_error("gender"); }
};

class AgentFacadeTest : public AgentSessionTest
{
};

} // namespace

TEST_F(AgentFacadeTest, OptedOutEntriesChangeAndRecordNothing)
{
	standardDefaults().setBool(AnalyticsAPI::SEND_USAGE_INFO_KEY, false);
	EXPECT_FALSE(AnalyticsAPI::sendUsageInfo());
	auto session = std::make_shared<RecordingSession>();
	AnalyticsAPI::setCurrentSession(session);
	AnalyticsAPI::startSession("KEY");
	AnalyticsAPI::setServerURL("http://127.0.0.1/aap.do");
	AnalyticsAPI::setUserID("player");
	AnalyticsAPI::setSessionReportsOnPauseEnabled(false);
	AnalyticsAPI::setAdNetworkEnabled(true);
	AnalyticsAPI::setMaxSessionsSaved(2);
	AnalyticsAPI::logEvent("opened");
	EXPECT_EQ("", AnalyticsAPI::apiKey());
	EXPECT_EQ(AnalyticsAPI::MAX_SESSIONS, AnalyticsSessionStore::maxSessions());
	EXPECT_EQ(AnalyticsSettings().serverURL, AnalyticsAPI::serverURL());
	EXPECT_EQ("", AnalyticsAPI::settings().userID);
	EXPECT_FALSE(AnalyticsAPI::adNetworkEnabled());
	EXPECT_TRUE(session->reportsOnPause);
	EXPECT_TRUE(session->events.empty());

	standardDefaults().setBool(AnalyticsAPI::SEND_USAGE_INFO_KEY, true);
	EXPECT_TRUE(AnalyticsAPI::sendUsageInfo());
	AnalyticsAPI::logEvent("opened");
	EXPECT_EQ(1u, session->events.size());
}

TEST_F(AgentFacadeTest, SettingsReachTheSessionInProgressAndTheNextOne)
{
	AnalyticsAPI::setUserID("before");
	auto session = std::make_shared<RecordingSession>();
	AnalyticsAPI::setCurrentSession(session);
	EXPECT_EQ("", session->userID);
	EXPECT_EQ("before", AnalyticsAPI::settings().userID);

	AnalyticsAPI::setSessionReportsOnCloseEnabled(false);
	AnalyticsAPI::setSessionReportsOnPauseEnabled(false);
	AnalyticsAPI::setEventLoggingEnabled(false);
	AnalyticsAPI::setAge(33);
	AnalyticsAPI::setUserID("player");
	AnalyticsAPI::setGender("f");
	EXPECT_FALSE(session->reportsOnClose);
	EXPECT_FALSE(session->reportsOnPause);
	EXPECT_FALSE(session->eventLogging);
	EXPECT_EQ(33, session->age);
	EXPECT_EQ("player", session->userID);
	EXPECT_EQ("f", session->gender);
	const AnalyticsSettings settings = AnalyticsAPI::settings();
	EXPECT_FALSE(settings.sessionReportsOnCloseEnabled);
	EXPECT_EQ(33, settings.age);
	EXPECT_EQ("player", settings.userID);

	AnalyticsAPI::createAndSendSession();
	const std::shared_ptr<AnalyticsSession> next = AnalyticsSession::currentSession();
	ASSERT_NE(nullptr, next);
	EXPECT_FALSE(next->sessionReportsOnCloseEnabled());
	EXPECT_FALSE(next->sessionReportsOnPauseEnabled());
	EXPECT_FALSE(next->eventLoggingEnabled());
	EXPECT_TRUE(next->birthDate().has_value());
	EXPECT_EQ("player", next->userID());
	EXPECT_EQ(AnalyticsSession::GENDER_FEMALE, next->gender());
}

TEST_F(AgentFacadeTest, TheUsersFactsAreKeptOnlyOnceTheSessionInProgressTookThem)
{
	AnalyticsAPI::setUserID("kept");
	AnalyticsAPI::setGender("m");
	AnalyticsAPI::setCurrentSession(std::make_shared<RefusingSession>());
	AnalyticsAPI::setUserID("refused");
	AnalyticsAPI::setGender("f");
	const AnalyticsSettings settings = AnalyticsAPI::settings();
	EXPECT_EQ("kept", settings.userID);
	EXPECT_EQ("m", settings.gender);
}

TEST_F(AgentFacadeTest, VersionsKeysAndTheAdNetwork)
{
	EXPECT_EQ("42", AnalyticsAPI::getAnalyticsAgentVersion());
	EXPECT_TRUE(AnalyticsAPI::udidEnabled());
	AnalyticsAPI::setAppVersion("3.0");
	AnalyticsAPI::setAdNetworkEnabled(true);
	AnalyticsAPI::startSession("Q7ZKX2MRT9BWDH4PLNC8");
	EXPECT_EQ("Q7ZKX2MRT9BWDH4PLNC8", AnalyticsAPI::apiKey());
	EXPECT_FALSE(AnalyticsAPI::adNetworkEnabled());
	AnalyticsAPI::setCurrentSession(std::make_shared<RecordingSession>());
	AnalyticsAPI::setAppVersion("3.1");
	EXPECT_EQ("3.0", AnalyticsAPI::appVersion());
}

TEST_F(AgentFacadeTest, ThreadsReadCopiesWhileTheMainThreadWrites)
{
	platform::BackgroundThreads threads;
	std::atomic<bool> stop{false};
	std::atomic<int> torn{0};
	threads.run([&] {
		while (!stop)
		{
			const std::string url = AnalyticsAPI::settings().serverURL;
			if (url != AnalyticsSettings().serverURL && url.rfind("http://127.0.0.1/", 0) != 0)
				++torn;
		}
	});
	for (int i = 0; i < 2000; ++i)
		AnalyticsAPI::setServerURL("http://127.0.0.1/" + std::string(static_cast<size_t>(i % 64), 'x'));
	stop = true;
	threads.joinAll();
	EXPECT_EQ(0, torn);
}

TEST_F(AgentFacadeTest, FailuresInsideAnEntryNeverReachTheCaller)
{
	bool ran = false;
	EXPECT_NO_THROW(AnalyticsAPI::guarded([&] {
		ran = true;
		throw std::runtime_error("inside the agent");
	}));
	EXPECT_TRUE(ran);
	EXPECT_NO_THROW(AnalyticsAPI::guarded([] { throw 7; }));
}
