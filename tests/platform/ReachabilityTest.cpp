#include <platform/Reachability.h>
#include <gtest/gtest.h>
#include <future>

using platform::Reachability;

TEST(Reachability, ResolvesLocalNamesAndNeverReservedOnes)
{
	struct Case
	{
		const char* host;
		bool reachable;
	};
	for (const Case c : {Case{"localhost", true}, Case{"127.0.0.1", true}, Case{"no-such-host.invalid", false},
			 Case{"A.B.INVALID.", false}, Case{"invalid", false}, Case{"", false}})
		EXPECT_EQ(c.reachable, Reachability::hostReachable(c.host, 2000)) << c.host;
}

TEST(Reachability, AnswersOnABackgroundThread)
{
	auto answer = std::async(std::launch::async, [] { return Reachability::hostReachable("localhost"); });
	EXPECT_TRUE(answer.get());
}
