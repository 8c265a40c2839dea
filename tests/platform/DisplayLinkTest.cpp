#include <platform/Application.h>
#include <platform/DisplayLink.h>
#include <gtest/gtest.h>

using platform::Application;
using platform::DisplayLink;
using platform::LaunchOptions;

namespace
{

std::unique_ptr<Application> headless()
{
	LaunchOptions options;
	options.headless = true;
	return Application::create(options);
}

} // namespace

TEST(DisplayLink, FiresEveryFrameIntervalRefreshesUntilInvalidated)
{
	auto application = headless();
	struct Case
	{
		int interval;
		int fired;
	};
	for (const Case c : {Case{1, 6}, Case{2, 3}, Case{3, 2}, Case{0, 6}, Case{-4, 6}})
	{
		int ticks = 0;
		auto link = application->createDisplayLink([&] { ++ticks; });
		link->setFrameInterval(c.interval);
		for (int i = 0; i < 6; ++i)
			link->refresh();
		EXPECT_EQ(c.fired, ticks) << c.interval;
		link->invalidate();
		link->refresh();
		EXPECT_EQ(c.fired, ticks);
		EXPECT_FALSE(link->valid());
	}
}
