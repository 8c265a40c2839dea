#include "AdAnswerWriter.h"
#include "AgentTestSupport.h"
#include "SessionReportReader.h"
#include "support/LoopbackHttpServer.h"
#include <agent/AnalyticsPageViewDelegate.h>
#include <agent/AnalyticsPageViewTarget.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsOffer.h>
#include <platform/Application.h>
#include <platform/NotificationCenter.h>
#include <dirent.h>
#include <stdexcept>

namespace
{

void post(const char* notification)
{
	platform::NotificationCenter::defaultCenter().post(notification);
}

// Every upload the agent makes, accepted.
class SessionControlTest : public AgentSessionTest
{
protected:
	void SetUp() override
	{
		AgentSessionTest::SetUp();
		AnalyticsAPI::setServerURL(m_server.url("/aap.do"));
	}

	std::vector<DecodedReport> reports()
	{
		platform::BackgroundThreads::shared().joinAll();
		std::vector<DecodedReport> decoded;
		for (const LoopbackHttpServer::Request& request : m_server.requests())
			decoded.push_back(decodeReport(request.body));
		return decoded;
	}

	LoopbackHttpServer m_server{[](const LoopbackHttpServer::Request&) { return LoopbackHttpServer::Answer{}; }};
};

} // namespace

TEST_F(SessionControlTest, AReturnWithinTheLimitContinuesTheSessionAndALaterOneStartsANewOne)
{
	ManualClock clock;
	AnalyticsAPI::setSessionReportsOnPauseEnabled(false);
	AnalyticsAPI::startSession("KEY");
	ASSERT_EQ(1u, reports().size());
	const std::shared_ptr<AnalyticsSession> first = AnalyticsSession::currentSession();
	ASSERT_NE(nullptr, first);
	post(platform::Application::DID_BECOME_ACTIVE_NOTIFICATION);
	EXPECT_EQ(first, AnalyticsSession::currentSession());

	post(platform::Application::WILL_RESIGN_ACTIVE_NOTIFICATION);
	clock.advance(10.0);
	post(platform::Application::DID_BECOME_ACTIVE_NOTIFICATION);
	EXPECT_EQ(first, AnalyticsSession::currentSession());
	EXPECT_EQ(10000, first->totalPauseIntervalMillis());
	EXPECT_TRUE(AnalyticsSessionStore::savedSessions().empty());

	post(platform::Application::WILL_RESIGN_ACTIVE_NOTIFICATION);
	clock.advance(10.001);
	post(platform::Application::DID_BECOME_ACTIVE_NOTIFICATION);
	const std::shared_ptr<AnalyticsSession> second = AnalyticsSession::currentSession();
	ASSERT_NE(nullptr, second);
	EXPECT_NE(first, second);
	const std::vector<DecodedReport> sent = reports();
	ASSERT_EQ(2u, sent.size());
	ASSERT_EQ(1u, sent[1].sessions.size());
	EXPECT_EQ(10000, sent[1].sessions[0].paused);
}

TEST_F(SessionControlTest, APauseUploadsTheCurrentSessionOnlyWithReportsOnPause)
{
	AnalyticsAPI::startSession("KEY");
	ASSERT_EQ(1u, reports().size());
	EXPECT_TRUE(reports()[0].sessions.empty());
	AnalyticsAPI::pauseSession();
	ASSERT_EQ(2u, reports().size());
	EXPECT_EQ(1u, reports()[1].sessions.size());
	EXPECT_NE(-1, reports()[1].sessions[0].length);

	AnalyticsAPI::setSessionReportsOnPauseEnabled(false);
	AnalyticsAPI::pauseSession();
	EXPECT_EQ(2u, reports().size());
}

TEST_F(SessionControlTest, LoggingCallsReachOnlyARunningSession)
{
	ManualClock clock;
	AnalyticsAPI::logEvent("too early");
	AnalyticsAPI::countPageView();
	AnalyticsAPI::startSession("KEY");
	AnalyticsAPI::logEvent("timed", true);
	AnalyticsAPI::logEvent("plain", {{"k", "v"}});
	clock.advance(2);
	AnalyticsAPI::endTimedEvent("timed", {{"result", "won"}});
	AnalyticsAPI::logError("E1", "reading", std::runtime_error("disk full"));
	AnalyticsAPI::logError("E2", "writing", std::make_error_code(std::errc::no_space_on_device));
	AnalyticsAPI::countPageView();

	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();
	const std::vector<AnalyticsEvent> log = session->eventLog();
	ASSERT_EQ(2u, log.size());
	EXPECT_EQ("timed", log[0].name());
	EXPECT_EQ(2000, log[0].duration());
	EXPECT_EQ("won", log[0].parameters().at("result"));
	const std::vector<AnalyticsSession::Error> errors = session->errors();
	ASSERT_EQ(2u, errors.size());
	EXPECT_EQ("std::runtime_error: disk full", errors[0].description);
	EXPECT_EQ("No space left on device: generic", errors[1].description);
	EXPECT_EQ(1, session->pageViewCount());
}

TEST_F(SessionControlTest, OptedOutTheAgentWritesNoFileAndOffersAnswerNo)
{
	AnalyticsAPI::setAdNetworkEnabled(true);
	ASSERT_TRUE(AnalyticsAdParser::publishAnswer(true, AdAnswerWriter().banner({{1, 11}}).bytes()));
	AnalyticsOffer offer;
	ASSERT_TRUE(AnalyticsAPI::getOffer("banner", &offer));

	standardDefaults().setBool(AnalyticsAPI::SEND_USAGE_INFO_KEY, false);
	AnalyticsOffer refused;
	EXPECT_FALSE(AnalyticsAPI::getOffer("banner", &refused));
	EXPECT_FALSE(AnalyticsAPI::getOffer("banner", &refused, {{"cookie", "1"}}));
	EXPECT_EQ("", refused.appName);
	EXPECT_EQ("", refused.referralUrl);
	AnalyticsAPI::startSession("KEY");
	AnalyticsAPI::logEvent("opened");
	EXPECT_EQ(nullptr, AnalyticsSession::currentSession());
	DIR* directory = opendir(platform::Directories::library().c_str());
	ASSERT_NE(nullptr, directory);
	int entries = 0;
	while (readdir(directory))
		++entries;
	closedir(directory);
	EXPECT_EQ(2, entries);
	EXPECT_TRUE(reports().empty());
	EXPECT_FALSE(AnalyticsAPI::guardedAnswer([] { return true; }));

	standardDefaults().setBool(AnalyticsAPI::SEND_USAGE_INFO_KEY, true);
	EXPECT_TRUE(AnalyticsAPI::guardedAnswer([] { return true; }));
	EXPECT_FALSE(AnalyticsAPI::guardedAnswer([]() -> bool { throw std::runtime_error("offer failed"); }));
	EXPECT_TRUE(AnalyticsAPI::getOffer("banner", &refused));
	AnalyticsAdParser::recreateInstance();
}

TEST_F(SessionControlTest, EventsLoggedBeforeARestartReachTheServerAfterIt)
{
	ManualClock clock;
	AnalyticsAPI::setAppVersion("1.0");
	AnalyticsAPI::setSessionReportsOnCloseEnabled(false);
	AnalyticsAPI::startSession("KEY");
	ASSERT_EQ(1u, reports().size());
	AnalyticsAPI::setUserID("player");
	AnalyticsAPI::logEvent("levelStart", {{"level", "1-1"}});
	clock.advance(30);
	AnalyticsAPI::logEvent("levelDone");
	clock.advance(5);
	post(platform::Application::WILL_TERMINATE_NOTIFICATION);
	EXPECT_EQ(nullptr, AnalyticsSession::currentSession());
	ASSERT_EQ(1u, reports().size());

	// A new process: settings back to their defaults, the files kept.
	AnalyticsAPI::resetSettings();
	AnalyticsAPI::setServerURL(m_server.url("/aap.do"));
	AnalyticsAPI::setAppVersion("1.1");
	clock.advance(3600);
	AnalyticsAPI::startSession("KEY");
	const std::vector<DecodedReport> sent = reports();
	ASSERT_EQ(2u, sent.size());
	const DecodedReport& report = sent[1];
	EXPECT_EQ("KEY", report.apiKey);
	EXPECT_EQ("1.1", report.appVersion);
	EXPECT_EQ(1000000000, report.initialTimestamp);
	EXPECT_EQ(1003635000, report.currentStart);
	ASSERT_EQ(1u, report.sessions.size());
	const DecodedSession& session = report.sessions[0];
	EXPECT_EQ("1.0", session.appVersion);
	EXPECT_EQ("player", session.userID);
	EXPECT_EQ(35000, session.length);
	ASSERT_EQ(2u, session.events.size());
	EXPECT_EQ("1-1", session.events[0].parameters.at("level"));
	EXPECT_EQ(30000, session.events[1].startOffset);
	EXPECT_EQ((std::map<std::string, int>{{"levelDone", 1}, {"levelStart", 1}}), session.counts);
	EXPECT_TRUE(AnalyticsSessionStore::savedSessions().empty());
	EXPECT_TRUE(AnalyticsSessionStore::sentSession());
}

namespace
{

// A controller of the kind given that shows what its delegate tells it.
class FakeController : public AnalyticsPageViewTarget
{
public:
	explicit FakeController(Kind kind, AnalyticsControllerDelegate* delegate = nullptr) : m_kind(kind), m_delegate(delegate) {}
	Kind controllerKind() const override { return m_kind; }
	AnalyticsControllerDelegate* delegate() const override { return m_delegate; }
	void setDelegate(AnalyticsControllerDelegate* delegate) override { m_delegate = delegate; }

private:
	Kind m_kind;
	AnalyticsControllerDelegate* m_delegate;
};

// Implements only the selection calls.
class SelectingDelegate : public AnalyticsControllerDelegate
{
public:
	bool shouldSelectViewController(AnalyticsPageViewTarget&, Screen) override { return allow; }
	void didSelectViewController(AnalyticsPageViewTarget&, Screen screen) override { selected.push_back(screen); }

	bool allow = false;
	std::vector<Screen> selected;
};

} // namespace

TEST_F(SessionControlTest, AProxyDelegateCountsShownScreensAndPassesCallsOn)
{
	ManualClock clock;
	AnalyticsAPI::startSession("KEY");
	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();

	FakeController plain(AnalyticsPageViewTarget::Kind::Other);
	EXPECT_EQ(nullptr, AnalyticsAPI::countPageViews(plain));
	EXPECT_EQ(nullptr, plain.delegate());

	FakeController navigation(AnalyticsPageViewTarget::Kind::Navigation);
	const std::shared_ptr<AnalyticsPageViewDelegate> navigating = AnalyticsAPI::countPageViews(navigation);
	ASSERT_EQ(navigating.get(), navigation.delegate());
	const int screen = 0;
	navigation.delegate()->didShowViewController(navigation, &screen, true);
	clock.advance(0.2);
	navigation.delegate()->didShowViewController(navigation, &screen, true);
	navigation.delegate()->willShowViewController(navigation, &screen, true);
	EXPECT_EQ(1, session->pageViewCount());
	EXPECT_TRUE(navigation.delegate()->shouldSelectViewController(navigation, &screen));

	SelectingDelegate previous;
	FakeController tabs(AnalyticsPageViewTarget::Kind::TabBar, &previous);
	const std::shared_ptr<AnalyticsPageViewDelegate> selecting = AnalyticsAPI::countPageViews(tabs);
	EXPECT_EQ(&previous, selecting->delegate());
	EXPECT_FALSE(tabs.delegate()->shouldSelectViewController(tabs, &screen));
	clock.advance(0.4);
	tabs.delegate()->didSelectViewController(tabs, &screen);
	tabs.delegate()->willBeginCustomizingViewControllers(tabs, {&screen});
	EXPECT_EQ((std::vector<AnalyticsControllerDelegate::Screen>{&screen}), previous.selected);
	EXPECT_EQ(2, session->pageViewCount());
}
