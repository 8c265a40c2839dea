#include "AgentTestSupport.h"
#include "SessionReportReader.h"
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <platform/BundleInfo.h>
#include <platform/KeyedArchive.h>
#include <rating/RatingPrompt.h>
#include <ctime>
#include <thread>

namespace
{

std::map<std::string, std::string> parameters(int count)
{
	std::map<std::string, std::string> made;
	for (int i = 0; i < count; ++i)
		made["p" + std::to_string(i)] = "v";
	return made;
}

class SessionRecordTest : public AgentSessionTest
{
};

} // namespace

TEST_F(SessionRecordTest, EventNamesParametersAndTheLogHaveTheirLimits)
{
	AnalyticsSession session("KEY", "1");
	for (int i = 0; i < 100; ++i)
		session.recordEvent("name" + std::to_string(i), {}, false);
	EXPECT_TRUE(session.eventLogComplete());
	session.recordEvent("name100", {}, false);
	EXPECT_EQ(100u, session.eventCounts().size());
	EXPECT_EQ(100u, session.eventLog().size());
	EXPECT_FALSE(session.eventLogComplete());
	session.recordEvent("name7", {}, false);
	EXPECT_EQ(2, session.eventCounts()["name7"]);
	EXPECT_EQ(101u, session.eventLog().size());

	AnalyticsSession parameterised("KEY", "1");
	parameterised.recordEvent("ten", parameters(10), false);
	EXPECT_TRUE(parameterised.eventLogComplete());
	parameterised.recordEvent("eleven", parameters(11), false);
	parameterised.recordEvent("", {}, false);
	EXPECT_FALSE(parameterised.eventLogComplete());
	EXPECT_EQ((std::map<std::string, std::int64_t>{{"ten", 1}}), parameterised.eventCounts());

	AnalyticsSession unlogged("KEY", "1");
	unlogged.setEventLoggingEnabled(false);
	unlogged.recordEvent("counted", {}, false);
	EXPECT_EQ(1, unlogged.eventCounts()["counted"]);
	EXPECT_TRUE(unlogged.eventLog().empty());
	EXPECT_FALSE(unlogged.eventLogComplete());
}

TEST_F(SessionRecordTest, ErrorsAreCountedBeyondTheTenKept)
{
	AnalyticsSession session("KEY", "1");
	for (int i = 0; i < 12; ++i)
		session.recordError("E" + std::to_string(i), "", "");
	EXPECT_EQ(12, session.totalErrorCount());
	ASSERT_EQ(10u, session.errors().size());
	EXPECT_EQ("E9", session.errors().back().errorID);
}

TEST_F(SessionRecordTest, PageViewsCloserThanAThirdOfASecondCountOnce)
{
	ManualClock clock;
	AnalyticsSession session("KEY", "1");
	session.maybeIncrementPageView();
	clock.advance(0.2);
	session.maybeIncrementPageView();
	EXPECT_EQ(1, session.pageViewCount());
	clock.advance(0.2);
	session.maybeIncrementPageView();
	EXPECT_EQ(2, session.pageViewCount());
	clock.advance(0.4);
	session.maybeIncrementPageView();
	EXPECT_EQ(3, session.pageViewCount());
}

TEST_F(SessionRecordTest, AgesGendersAndUserFacts)
{
	ManualClock clock;
	AnalyticsSession session("KEY", "1");
	session.setAge(0);
	session.setAge(151);
	EXPECT_FALSE(session.birthDate().has_value());
	session.setAge(30);
	ASSERT_TRUE(session.birthDate().has_value());
	// The clock stands in January 1970: the birth date is the start of 1940, local time.
	const time_t birth = static_cast<time_t>(*session.birthDate());
	tm local{};
	localtime_r(&birth, &local);
	EXPECT_EQ(1940, local.tm_year + 1900);
	EXPECT_EQ(0, local.tm_yday);
	EXPECT_EQ(0, local.tm_hour);

	for (const auto& [text, code] : std::vector<std::pair<std::string, int>>{{"m", 1}, {"f", 0}, {"x", -1}, {"", -1}})
	{
		session.setGender(text);
		EXPECT_EQ(code, session.gender()) << text;
	}
}

TEST_F(SessionRecordTest, ARecordReadBackHasItsContentButItsSwitchesOff)
{
	ManualClock clock;
	AnalyticsSession session("KEY", "1.2");
	session.setUserID("player");
	session.recordEvent("opened", {{"from", "menu"}}, true);
	session.recordError("E", "m", "d");
	session.pauseSession();
	clock.advance(4);
	session.resumeSession();
	session.setAge(20);

	const std::shared_ptr<AnalyticsSession> back =
		AnalyticsSession::unarchive(platform::KeyedArchive::decode(platform::KeyedArchive::encode(session.archive())));
	EXPECT_EQ(session.data(), back->data());
	EXPECT_EQ(4000, back->totalPauseIntervalMillis());
	EXPECT_FALSE(back->eventLoggingEnabled());
	EXPECT_FALSE(back->sessionReportsOnCloseEnabled());
	EXPECT_FALSE(back->sessionReportsOnPauseEnabled());

	platform::ArchiveValue newer = session.archive();
	newer.set("serializationVersion", platform::ArchiveValue::integer(2));
	EXPECT_THROW(AnalyticsSession::unarchive(newer), platform::ArchiveError);
}

TEST_F(SessionRecordTest, TimedEventsEndByNameAndAgainAtEachEndOfTheSession)
{
	ManualClock clock;
	AnalyticsSession session("KEY", "1");
	session.recordEvent("load", {}, true);
	session.recordEvent("load", {}, true);
	session.recordEvent("play", {}, true);
	clock.advance(1);
	session.endTimedEvent("load", {});
	clock.advance(1);
	session.endSessionAndSend(false, false);
	clock.advance(1);
	session.endSessionAndSend(false, false);
	const std::vector<AnalyticsEvent> log = session.eventLog();
	EXPECT_EQ(1000, log[0].duration());
	EXPECT_EQ(1000, log[1].duration());
	EXPECT_FALSE(log[0].automaticallyEnded());
	EXPECT_TRUE(log[2].automaticallyEnded());
	EXPECT_EQ(3000, log[2].duration());
}

TEST_F(SessionRecordTest, ARecordLeftByACrashedRunIsStoredAtTheNextStart)
{
	ManualClock clock;
	const std::shared_ptr<AnalyticsSession> first = AnalyticsSession::createActiveAnalyticsSession("KEY");
	first->recordEvent("before the crash", {}, false);
	AnalyticsAPI::resetSettings();

	clock.advance(60);
	const std::shared_ptr<AnalyticsSession> second = AnalyticsSession::createActiveAnalyticsSession("KEY");
	EXPECT_EQ(second, AnalyticsSession::currentSession());
	const std::vector<std::string> stored = AnalyticsSessionStore::savedSessions();
	ASSERT_EQ(1u, stored.size());
	const DecodedSession crashed = decodeReport(AnalyticsSessionUploader::dataForSessions(stored, false)).sessions.at(0);
	EXPECT_EQ(-1, crashed.length);
	EXPECT_EQ(1u, crashed.events.size());
	EXPECT_EQ(1000000000, crashed.start);

	second->saveSession();
	EXPECT_EQ(nullptr, AnalyticsSession::currentSession());
	EXPECT_EQ(2u, AnalyticsSessionStore::savedSessions().size());
	AnalyticsSession::createActiveAnalyticsSession("KEY");
	EXPECT_EQ(2u, AnalyticsSessionStore::savedSessions().size());
}

TEST_F(SessionRecordTest, AnUploadThreadReadsWholeBlocksWhileEventsAreRecorded)
{
	AnalyticsSession session("KEY", "1");
	std::atomic<bool> stop{false};
	std::atomic<int> unreadable{0};
	std::thread upload([&] {
		size_t seen = 0;
		while (!stop)
		{
			try
			{
				const size_t logged = decodeReport(AnalyticsSessionUploader::dataForSessions({session.data()}, false)).sessions.at(0).events.size();
				if (logged < seen)
					++unreadable;
				seen = logged;
			}
			catch (const std::exception&)
			{
				++unreadable;
			}
		}
	});
	for (int i = 0; i < 1000; ++i)
		session.recordEvent("event" + std::to_string(i % 50), {{"i", std::to_string(i)}}, false);
	stop = true;
	upload.join();
	EXPECT_EQ(0, unreadable);
	EXPECT_EQ(1000u, session.eventLog().size());
}

TEST_F(SessionRecordTest, DeviceFactsAndOffsetsFromTheStart)
{
	const struct
	{
		double coordinate;
		double reduced;
	} cases[] = {{12.34567, 12.345}, {-12.34567, -12.345}, {0.0009, 0.0}, {-0.0009, 0.0}, {179.9999, 179.999}};
	for (const auto& c : cases)
		EXPECT_DOUBLE_EQ(c.reduced, AnalyticsSession::reduceLocationPrecision(c.coordinate)) << c.coordinate;
	EXPECT_FALSE(AnalyticsSession::devicePlatform().empty());
	EXPECT_GT(AnalyticsSession::deviceMemory(), 0);
	EXPECT_GE(AnalyticsSession::deviceCPUFrequency(), 0);

	ManualClock clock;
	AnalyticsSession session("KEY", "1");
	EXPECT_EQ(3500, session.timeIntervalSinceSessionStart(clock.now() + 3.5));
	EXPECT_EQ(-1000, session.timeIntervalSinceSessionStart(clock.now() - 1.0));
}

TEST_F(SessionRecordTest, TheRatingPromptCountsTheVersionThatSessionRecordsCarry)
{
	RatingPrompt::shared().appEnteredForeground(false);
	platform::BackgroundThreads::shared().joinAll();
	const std::string counted = standardDefaults().getString(RatingPrompt::CURRENT_VERSION_KEY);
	EXPECT_EQ(platform::BundleInfo::version(), counted);
	EXPECT_FALSE(counted.empty());
	EXPECT_EQ(counted, AnalyticsSession::createActiveAnalyticsSession("KEY")->appVersion());
	AnalyticsAPI::resetSettings();
	AnalyticsAPI::setAppVersion("set by the game");
	EXPECT_EQ("set by the game", AnalyticsSession::createActiveAnalyticsSession("KEY")->appVersion());
}
