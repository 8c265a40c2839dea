#include <platform/Application.h>
#include <platform/ApplicationDelegate.h>
#include <platform/BackgroundThreads.h>
#include <platform/NotificationCenter.h>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>

using namespace platform;

TEST(NotificationCenter, CallsTheObserversOfTheNameInOrderUntilRemoved)
{
	NotificationCenter center;
	std::vector<std::string> calls;
	const int first = center.addObserver("tick", [&](const std::string& name) { calls.push_back("first " + name); });
	int second = 0;
	second = center.addObserver("tick", [&](const std::string&) {
		calls.push_back("second");
		center.removeObserver(second);
	});
	center.addObserver("other", [&](const std::string&) { calls.push_back("other"); });
	center.post("tick");
	center.post("tick");
	center.removeObserver(first);
	center.removeObserver(12345);
	center.post("tick");
	EXPECT_EQ((std::vector<std::string>{"first tick", "second", "first tick"}), calls);
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalled)
{
	NotificationCenter center;
	int later = 0;
	bool called = false;
	center.addObserver("tick", [&](const std::string&) { center.removeObserver(later); });
	later = center.addObserver("tick", [&](const std::string&) { called = true; });
	center.post("tick");
	EXPECT_FALSE(called);
}

TEST(BackgroundThreads, JoinAllWaitsForEveryTaskAndThoseTheyStart)
{
	BackgroundThreads threads;
	std::atomic<int> done{0};
	for (int i = 0; i < 4; ++i)
		threads.run([&] {
			std::this_thread::sleep_for(std::chrono::milliseconds(20));
			threads.run([&] { ++done; });
			++done;
		});
	threads.run([] { throw std::runtime_error("dropped"); });
	threads.joinAll();
	EXPECT_EQ(8, done);
}

namespace
{

class Recording : public ApplicationDelegate
{
public:
	explicit Recording(std::vector<std::string>& events) : m_events(events) {}
	void didFinishLaunching() override { m_events.push_back("delegate launch"); }
	void didBecomeActive() override { m_events.push_back("delegate active"); }
	void willResignActive() override { m_events.push_back("delegate resign"); }
	void willTerminate() override { m_events.push_back("delegate terminate"); }

private:
	std::vector<std::string>& m_events;
};

} // namespace

TEST(Application, PostsTheLifecycleAfterTheDelegateAndJoinsTheBackgroundThreadsAtTheEnd)
{
	std::vector<std::string> events;
	NotificationCenter& center = NotificationCenter::defaultCenter();
	std::vector<int> tokens;
	for (const char* name : {Application::DID_FINISH_LAUNCHING_NOTIFICATION, Application::DID_BECOME_ACTIVE_NOTIFICATION,
			Application::WILL_RESIGN_ACTIVE_NOTIFICATION, Application::WILL_TERMINATE_NOTIFICATION})
		tokens.push_back(center.addObserver(name, [&](const std::string& posted) { events.push_back(posted); }));
	std::atomic<bool> finished{false};
	LaunchOptions options;
	options.headless = true;
	options.frames = 2;
	auto application = Application::create(options);
	Recording delegate(events);
	BackgroundThreads::shared().run([&] {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		finished = true;
	});
	application->run(delegate);
	EXPECT_TRUE(finished);
	for (int token : tokens)
		center.removeObserver(token);
	EXPECT_EQ((std::vector<std::string>{"delegate launch", Application::DID_FINISH_LAUNCHING_NOTIFICATION, "delegate active",
		Application::DID_BECOME_ACTIVE_NOTIFICATION, "delegate terminate", Application::WILL_TERMINATE_NOTIFICATION}), events);
}
