#include <platform/UserDefaults.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <iterator>

using platform::UserDefaults;

TEST(UserDefaults, ValuesSurviveAReloadWithAnyCharacters)
{
	const std::string path = testing::TempDir() + "/user-defaults-test.txt";
	std::remove(path.c_str());
	{
		UserDefaults defaults(path);
		defaults.setString("odd\tkey\\", "line one\nline\ttwo\\");
		defaults.setInteger("launches", 12);
		defaults.setDouble("kRatingPromptFirstUseDate", 1700000000.25);
		defaults.setBool("AnalyticsSendUsageInfo", false);
		defaults.setString("gone", "x");
		defaults.remove("gone");
	}
	const UserDefaults reloaded(path);
	EXPECT_EQ("line one\nline\ttwo\\", reloaded.getString("odd\tkey\\"));
	EXPECT_EQ(12, reloaded.getInteger("launches"));
	EXPECT_DOUBLE_EQ(1700000000.25, reloaded.getDouble("kRatingPromptFirstUseDate"));
	EXPECT_FALSE(reloaded.getBool("AnalyticsSendUsageInfo", true));
	EXPECT_FALSE(reloaded.contains("gone"));
	EXPECT_TRUE(reloaded.getBool("missing", true));
	EXPECT_EQ(-1, reloaded.getInteger("odd\tkey\\", -1));
	std::remove(path.c_str());
}

TEST(UserDefaults, DamagedLinesAreSkipped)
{
	const auto values = UserDefaults::parse("good\tvalue\nno tab here\nbad\\q\tx\ntrailing\\\t1\n\tempty key\n");
	EXPECT_EQ((std::map<std::string, std::string>{{"good", "value"}, {"", "empty key"}}), values);
}

TEST(UserDefaults, AStoredTextReadsAsAFlagByItsFirstSignificantCharacter)
{
	const std::string path = testing::TempDir() + "/user-defaults-flags.txt";
	std::remove(path.c_str());
	UserDefaults defaults(path);
	const std::pair<const char*, bool> cases[] = {
		{"true", true}, {"YES", true}, {"y", true}, {"T", true}, {"1", true}, {"  +007", true},
		{"false", false}, {"NO", false}, {"N", false}, {"", false}, {"abc", false}, {"-000", false}, {"0", false},
	};
	for (const auto& c : cases)
	{
		defaults.setString("flag", c.first);
		EXPECT_EQ(c.second, defaults.getBool("flag", !c.second)) << '"' << c.first << '"';
	}
	EXPECT_TRUE(defaults.getBool("absent", true));
	std::remove(path.c_str());
}

TEST(UserDefaults, ABatchWritesItsChangesTogetherWhenTheOutermostEnds)
{
	const std::string path = testing::TempDir() + "/user-defaults-batch.txt";
	std::remove(path.c_str());
	const auto fileText = [&] {
		std::ifstream in(path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
	};
	UserDefaults defaults(path);
	defaults.setString("kept", "1");
	const std::string before = fileText();
	{
		const UserDefaults::Batch batch(defaults);
		defaults.setString("a", "1");
		{
			const UserDefaults::Batch inner(defaults);
			defaults.setInteger("b", 2);
			defaults.remove("kept");
		}
		EXPECT_EQ("1", defaults.getString("a")) << "changes show at once";
		EXPECT_EQ(before, fileText()) << "the outermost batch writes";
	}
	EXPECT_EQ("a\t1\nb\t2\n", fileText());
	std::remove(path.c_str());
}
