#include <platform/MainQueue.h>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>

using platform::MainQueue;

namespace
{

void waitUntilPending(const MainQueue& queue)
{
	while (queue.empty())
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

TEST(MainQueue, WaitingRequestRunsOnTheCallingThreadOfRunPending)
{
	MainQueue queue;
	std::thread::id ranOn;
	bool ran = false;
	std::thread worker([&] { ran = queue.postAndWait(&queue, [&] { ranOn = std::this_thread::get_id(); }); });
	waitUntilPending(queue);
	queue.runPending();
	worker.join();
	EXPECT_TRUE(ran);
	EXPECT_EQ(std::this_thread::get_id(), ranOn);
}

TEST(MainQueue, CancelReleasesTheWaiterAndSparesOtherOwners)
{
	MainQueue queue;
	int owner = 0, other = 0;
	int otherRuns = 0;
	queue.post(&other, [&] { ++otherRuns; });
	std::atomic<bool> result{true};
	std::thread worker([&] { result = queue.postAndWait(&owner, [] { FAIL() << "withdrawn work ran"; }); });
	while (true)
	{
		queue.cancel(&owner);
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
		if (!result)
			break;
	}
	worker.join();
	queue.runPending();
	EXPECT_EQ(1, otherRuns);
}

TEST(MainQueue, WorkPostedWhileRunningWaitsForTheNextTurn)
{
	MainQueue queue;
	int runs = 0;
	queue.post(&queue, [&] {
		++runs;
		queue.post(&queue, [&] { ++runs; });
	});
	queue.runPending();
	EXPECT_EQ(1, runs);
	queue.runPending();
	EXPECT_EQ(2, runs);
}
