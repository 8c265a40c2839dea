#include <platform/Application.h>
#include <platform/ApplicationDelegate.h>
#include <platform/HeadlessApplication.h>
#include <platform/RepeatingTimer.h>
#include <gtest/gtest.h>

using namespace platform;

namespace
{

class Idle : public ApplicationDelegate
{
public:
	void didFinishLaunching() override {}
	void didBecomeActive() override {}
	void willResignActive() override {}
	void willTerminate() override {}
};

// Runs a headless application for the frames with a timer of the interval; the clock readings at
// which it fired. The timer stops itself after `stopAfter` firings.
std::vector<int64_t> firings(int frames, double interval, size_t stopAfter = 100)
{
	LaunchOptions options;
	options.headless = true;
	options.frames = frames;
	auto application = Application::create(options);
	std::vector<int64_t> times;
	RepeatingTimer* self = nullptr;
	RepeatingTimer timer(*application, interval, [&] {
		times.push_back(application->currentTimeMicros() - HeadlessApplication::START_TIME);
		if (times.size() == stopAfter)
			self->stop();
	});
	self = &timer;
	Idle idle;
	application->run(idle);
	EXPECT_EQ(times.size() < stopAfter, timer.running());
	return times;
}

} // namespace

TEST(RepeatingTimer, FiresEveryIntervalOfTheApplicationClockUntilStopped)
{
	EXPECT_EQ((std::vector<int64_t>{1000000, 2000000, 3000000}), firings(200, 1.0));
	EXPECT_EQ((std::vector<int64_t>{500000, 1000000}), firings(200, 0.5, 2));
	// Shorter than a refresh: once a refresh, never twice.
	EXPECT_EQ(4u, firings(5, 0.001).size());
}
