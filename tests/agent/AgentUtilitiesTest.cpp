#include "AgentTestSupport.h"
#include "support/LoopbackHttpServer.h"
#include <agent/AnalyticsAdAppStoreConnectionDelegate.h>
#include <agent/AnalyticsHeartBeater.h>
#include <agent/AnalyticsUtil.h>
#include <platform/Application.h>
#include <platform/ApplicationDelegate.h>
#include <platform/NotificationCenter.h>
#include <world/GameAnalytics.h>
#include <chrono>
#include <condition_variable>
#include <mutex>

TEST(AnalyticsUtil, OrientationsAndNumbers)
{
	EXPECT_TRUE(AnalyticsUtil::canvasInLandscapeLeft("LANDSCAPELEFT"));
	EXPECT_TRUE(AnalyticsUtil::canvasInLandscapeRight("landscapeRight"));
	EXPECT_FALSE(AnalyticsUtil::canvasInLandscape("landscape"));
	EXPECT_FALSE(AnalyticsUtil::canvasInLandscape(std::string("landscapeLeft\0up", 16)));
	EXPECT_EQ(480.0f, AnalyticsUtil::screenBounds("landscapeLeft").width);
	EXPECT_EQ(480.0f, AnalyticsUtil::screenBounds("portrait").height);

	EXPECT_EQ(12.0, AnalyticsUtil::convertStrToNum("12"));
	EXPECT_EQ(-0.5, AnalyticsUtil::convertStrToNum("-0.5"));
	for (const char* text : {"abc", "", "12abc", "1.2.3", "-", " 12"})
		EXPECT_FALSE(AnalyticsUtil::convertStrToNum(text).has_value()) << text;
}

namespace
{

// Starts the heartbeat twice at launch and counts its beats.
class HeartBeatDelegate : public platform::ApplicationDelegate
{
public:
	void didFinishLaunching() override
	{
		first = AnalyticsHeartBeater::createAndStartInstance(1.0);
		second = AnalyticsHeartBeater::createAndStartInstance(0.25);
		interval = second->interval();
	}
	void didBecomeActive() override {}
	void willResignActive() override {}
	void willTerminate() override {}

	AnalyticsHeartBeater* first = nullptr;
	AnalyticsHeartBeater* second = nullptr;
	double interval = 0;
};

} // namespace

TEST(AnalyticsHeartBeater, OneTimerBeatsEverySecondUntilTheApplicationEnds)
{
	int beats = 0;
	platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
	const int token = center.addObserver(AnalyticsHeartBeater::HEARTBEAT_NOTIFICATION, [&](const std::string&) { ++beats; });
	// 200 refreshes of the simulated clock: a little over 3 s.
	auto application = platform::Application::create(headlessOptions(200));
	HeartBeatDelegate delegate;
	application->run(delegate);
	center.removeObserver(token);
	ASSERT_NE(nullptr, delegate.first);
	EXPECT_EQ(delegate.first, delegate.second);
	EXPECT_EQ(1.0, delegate.interval);
	EXPECT_EQ(3, beats);
	EXPECT_EQ(nullptr, AnalyticsHeartBeater::instance());
	application.reset();
	EXPECT_EQ(nullptr, AnalyticsHeartBeater::createAndStartInstance(1.0));
}

namespace
{

// Answers "/a" with a redirect to "/b", "/b" with one to the store's scheme, "/plain" with a page
// and everything else with 404.
LoopbackHttpServer::Answer redirect(const LoopbackHttpServer::Request& request)
{
	LoopbackHttpServer::Answer answer;
	if (request.path == "/a")
		answer = {302, "", "Location: /b\r\n"};
	else if (request.path == "/b")
		answer = {302, "", "Location: itms-apps://apps.store.example.com/app\r\n"};
	else if (request.path != "/plain")
		answer.status = 404;
	return answer;
}

struct ReferralOutcome
{
	std::vector<int> results;
	std::vector<std::string> opened;
	std::vector<bool> done;
	std::string iTunesURL;
};

ReferralOutcome refer(const std::string& url)
{
	InlineTaskRunner worker;
	ReferralOutcome outcome;
	AnalyticsAdAppStoreConnectionDelegate::Hooks hooks;
	hooks.adImpression = [&](int result) { outcome.results.push_back(result); };
	hooks.done = [&](bool opened) { outcome.done.push_back(opened); };
	hooks.worker = &worker;
	hooks.toMainThread = [](std::function<void()> work) { work(); };
	hooks.openURL = [&](const std::string& link) {
		outcome.opened.push_back(link);
		return true;
	};
	outcome.iTunesURL = AnalyticsAdAppStoreConnectionDelegate::openReferralURL(url, hooks)->iTunesURL();
	return outcome;
}

} // namespace

TEST(AnalyticsAdAppStoreConnectionDelegate, OpensTheAddressOfTheLastRedirect)
{
	LoopbackHttpServer server(redirect);
	const ReferralOutcome chain = refer(server.url("/a"));
	EXPECT_EQ((std::vector<int>{6, 8}), chain.results);
	EXPECT_EQ((std::vector<std::string>{server.url("/b")}), chain.opened);
	EXPECT_EQ(server.url("/b"), chain.iTunesURL);
	EXPECT_EQ((std::vector<bool>{true}), chain.done);
}

TEST(AnalyticsAdAppStoreConnectionDelegate, WithoutARedirectOpensTheAddressAndAFailureIsReported)
{
	LoopbackHttpServer server(redirect);
	const ReferralOutcome plain = refer(server.url("/plain"));
	EXPECT_EQ((std::vector<std::string>{server.url("/plain")}), plain.opened);
	EXPECT_EQ((std::vector<bool>{true}), plain.done);

	const ReferralOutcome failed = refer(server.url("/missing"));
	EXPECT_EQ((std::vector<int>{6}), failed.results);
	EXPECT_TRUE(failed.opened.empty());
	EXPECT_EQ((std::vector<bool>{false}), failed.done);
}

namespace
{

// Starts the game's session, whose upload goes to the server, and taps a store link at launch;
// notes when termination begins.
class StoreLinkTapDelegate : public platform::ApplicationDelegate
{
public:
	StoreLinkTapDelegate(const LoopbackHttpServer& server, std::function<void()> waitForRequest) :
		m_server(server),
		m_waitForRequest(std::move(waitForRequest))
	{
	}

	void didFinishLaunching() override
	{
		AnalyticsAPI::setServerURL(m_server.url("/aap.do"));
		GameAnalytics::startSession(GameAnalytics::API_KEY);
		AnalyticsAdAppStoreConnectionDelegate::openReferralURL(m_server.url("/referral"), {});
		m_waitForRequest();
	}
	void didBecomeActive() override {}
	void willResignActive() override {}
	void willTerminate() override { terminating = std::chrono::steady_clock::now(); }

	std::chrono::steady_clock::time_point terminating;

private:
	const LoopbackHttpServer& m_server;
	std::function<void()> m_waitForRequest;
};

} // namespace

TEST(AnalyticsAgentTermination, QuittingRightAfterAStoreLinkTapDoesNotWaitForAnswersInFlight)
{
	std::mutex mutex;
	std::condition_variable changed;
	bool arrived = false, released = false;
	// Holds every answer until the test ends, then closes the connection without one.
	LoopbackHttpServer server([&](const LoopbackHttpServer::Request&) {
		std::unique_lock<std::mutex> lock(mutex);
		arrived = true;
		changed.notify_all();
		changed.wait(lock, [&] { return released; });
		LoopbackHttpServer::Answer answer;
		answer.drop = true;
		return answer;
	});
	auto application = platform::Application::create(headlessOptions(10));
	StoreLinkTapDelegate delegate(server, [&] {
		std::unique_lock<std::mutex> lock(mutex);
		changed.wait_for(lock, std::chrono::seconds(10), [&] { return arrived; });
	});
	application->run(delegate);
	const std::chrono::steady_clock::duration quitting = std::chrono::steady_clock::now() - delegate.terminating;
	bool requested;
	{
		std::lock_guard<std::mutex> lock(mutex);
		requested = arrived;
		released = true;
	}
	changed.notify_all();
	application.reset();
	AnalyticsAPI::resetSettings();
	EXPECT_TRUE(requested);
	EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(quitting).count(), 1000);
}
