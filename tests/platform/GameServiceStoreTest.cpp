#include <platform/GameServiceStore.h>
#include <lang/Debug.h>
#include <gtest/gtest.h>

using platform::GameAchievement;
using platform::GameScore;
using platform::GameServiceStore;

TEST(GameServiceStore, FileTextRoundTripsAnyTextAndSkipsDamagedLines)
{
	const std::vector<GameScore> scores = {{"board\twith tab", "L:1", "A\\nn\nx", -9000000000, 0}, {"b", "L:2", "", 7, 0}};
	const std::vector<GameAchievement> achievements = {{"L:1", "ach\r", 33.25}};
	const std::string text = GameServiceStore::serialize(scores, achievements);
	std::vector<GameScore> readScores;
	std::vector<GameAchievement> readAchievements;
	GameServiceStore::parse(text + "score\tb\tL:3\tx\t12x\nscore\tb\tL:3\tx\nachievement\tL:1\tz\tnan\nbogus\n"
		"achievement\tL:1\tbad\\q\t5\nscore\tb\tL:2\t\t3\n", readScores, readAchievements);
	EXPECT_EQ(text, GameServiceStore::serialize(readScores, readAchievements));
}

TEST(GameServiceStore, DuplicateLinesMergeByTheReportingRules)
{
	std::vector<GameScore> scores;
	std::vector<GameAchievement> achievements;
	GameServiceStore::parse("score\tb\tL:1\tOld\t5\nscore\tb\tL:2\tBo\t6\nscore\tb\tL:1\tNew\t9\n"
		"achievement\tL:1\ta\t80\nachievement\tL:1\ta\t-3\nachievement\tL:1\tc\t1e9\n", scores, achievements);
	EXPECT_EQ("score\tb\tL:2\tBo\t6\nscore\tb\tL:1\tNew\t9\nachievement\tL:1\ta\t80\nachievement\tL:1\tc\t100\n",
		GameServiceStore::serialize(scores, achievements));
}

// A line that cannot be read is dropped like a damaged file, logged with its number and the file.
TEST(GameServiceStore, DroppedLinesAreLoggedWithTheFile)
{
	std::vector<GameScore> scores;
	std::vector<GameAchievement> achievements;
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	GameServiceStore::parse("score\tb\tL:1\tAnn\t5\nscore\tb\tL:1\tAnn\tlots\nachievement\tL:1\ta\t50\n", scores, achievements, "store.txt");
	const std::string log = testing::internal::GetCapturedStderr();
	lang::Debug::setEnabled(false);
	EXPECT_EQ("Damaged line 2 of store.txt dropped\n", log);
	EXPECT_EQ(1u, scores.size());
	EXPECT_EQ(1u, achievements.size());
}
