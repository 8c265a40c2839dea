#include "AgentTestSupport.h"
#include <platform/BackgroundThreads.h>
#include <rating/RatingPrompt.h>
#include <memory>

namespace
{

constexpr double DAY = 86400.0;

// A prompt on its own defaults file, a fake clock, an inline worker and a recorded alert.
class RatingPromptTest : public ::testing::Test
{
protected:
	RatingPrompt& prompt(const std::string& version = "1.0", bool phoneOnly = false)
	{
		m_prompt = std::make_unique<RatingPrompt>(RatingPrompt::Environment{
			&m_defaults, [this] { return m_now; }, version, true, phoneOnly, [this] { return m_connected; }, &m_inline,
			[](std::function<void()> work) { work(); },
			[this](const platform::Alert& alert, std::function<void(int)> done) {
				++m_alerts;
				m_lastAlert = alert;
				m_answer = std::move(done);
			},
			[this](const std::string& url) {
				m_opened.push_back(url);
				return true;
			}});
		return *m_prompt;
	}

	// Counts uses, a second apart in fake time, and reports whether the last one prompted.
	bool use(int times)
	{
		const int before = m_alerts;
		for (int i = 0; i < times; ++i)
		{
			m_prompt->appEnteredForeground(true);
			m_now += 1;
		}
		return m_alerts > before;
	}

	platform::UserDefaults m_defaults{freshDirectory("rating") + "/defaults.txt"};
	InlineTaskRunner m_inline;
	double m_now = 1.6e9;
	bool m_connected = true;
	int m_alerts = 0;
	platform::Alert m_lastAlert;
	std::function<void(int)> m_answer;
	std::vector<std::string> m_opened;
	std::unique_ptr<RatingPrompt> m_prompt;
};

} // namespace

TEST_F(RatingPromptTest, FirstUseStoresTheVersionAndTheDate)
{
	prompt("2.1").appEnteredForeground(true);
	EXPECT_EQ("2.1", m_defaults.getString(RatingPrompt::CURRENT_VERSION_KEY));
	EXPECT_EQ(1, m_defaults.getInteger(RatingPrompt::USE_COUNT_KEY));
	EXPECT_EQ(m_now, m_defaults.getDouble(RatingPrompt::FIRST_USE_DATE_KEY));
	// A launch counts nothing where the foreground entry counts.
	m_prompt->appLaunched();
	EXPECT_EQ(1, m_defaults.getInteger(RatingPrompt::USE_COUNT_KEY));
}

TEST_F(RatingPromptTest, PromptsFromTheTwentyFirstUseAfterThreeDays)
{
	struct Case
	{
		int uses;
		double since;
		bool prompts;
	};
	for (const Case& c : {Case{21, 3 * DAY, true}, Case{20, 3 * DAY, false}, Case{21, 3 * DAY - 1, false}, Case{30, 259199.0, false}})
	{
		m_defaults.remove(RatingPrompt::CURRENT_VERSION_KEY);
		m_defaults.remove(RatingPrompt::FIRST_USE_DATE_KEY);
		m_defaults.remove(RatingPrompt::USE_COUNT_KEY);
		prompt();
		const double first = m_now;
		use(c.uses - 1);
		// The last use lands exactly `since` after the first.
		m_now = first + c.since;
		EXPECT_EQ(c.prompts, use(1)) << c.uses << " uses after " << c.since << " s";
	}
	EXPECT_EQ("If you like Tovel Quarn Lum HD, please rate it.", m_lastAlert.title);
	EXPECT_EQ((std::vector<std::string>{"No, Thanks", "Rate Now", "Remind me later"}), m_lastAlert.buttons);
	EXPECT_EQ(0, m_lastAlert.cancelButton);
}

TEST_F(RatingPromptTest, NoPromptWithoutPermissionOrNetwork)
{
	prompt();
	use(21);
	m_now += 3 * DAY;
	m_prompt->appEnteredForeground(false);
	m_connected = false;
	EXPECT_FALSE(use(1));
	EXPECT_EQ(23, m_defaults.getInteger(RatingPrompt::USE_COUNT_KEY));
	m_connected = true;
	EXPECT_TRUE(use(1));
}

TEST_F(RatingPromptTest, TheAnswersAndWhatTheyStore)
{
	prompt();
	use(21);
	m_now += 3 * DAY;
	ASSERT_TRUE(use(1));
	m_answer(RatingPrompt::REMIND_LATER);
	EXPECT_EQ(m_now, m_defaults.getDouble(RatingPrompt::REMINDER_REQUEST_DATE_KEY));
	m_now += DAY - 1;
	EXPECT_FALSE(use(1));
	EXPECT_TRUE(use(1));

	m_answer(RatingPrompt::NO_THANKS);
	EXPECT_TRUE(m_defaults.getBool(RatingPrompt::DECLINED_TO_RATE_KEY));
	m_now += 10 * DAY;
	EXPECT_FALSE(use(1));

	m_defaults.setBool(RatingPrompt::DECLINED_TO_RATE_KEY, false);
	ASSERT_TRUE(use(1));
	m_answer(RatingPrompt::RATE_NOW);
	EXPECT_TRUE(m_defaults.getBool(RatingPrompt::RATED_CURRENT_VERSION_KEY));
	EXPECT_FALSE(use(1));
	ASSERT_EQ(1u, m_opened.size());
	m_answer(7);
	EXPECT_EQ(1u, m_opened.size());
}

TEST_F(RatingPromptTest, RateNowOpensTheLinkForTheDevice)
{
	EXPECT_EQ("itms-apps://apps.store.example.com/WebObjects/MZStore.woa/wa/viewSoftware?id=418302954", RatingPrompt::reviewURL(true));
	EXPECT_EQ(std::string(RatingPrompt::REVIEWS_TEMPLATE).replace(std::string(RatingPrompt::REVIEWS_TEMPLATE).find("APP_ID"), 6, "418302954"),
		RatingPrompt::reviewURL(false));
	for (bool phoneOnly : {true, false})
	{
		m_opened.clear();
		prompt("1.0", phoneOnly).answer(RatingPrompt::RATE_NOW);
		EXPECT_EQ((std::vector<std::string>{RatingPrompt::reviewURL(phoneOnly)}), m_opened);
	}
}

TEST_F(RatingPromptTest, ANewVersionRestartsTheCounts)
{
	prompt("1.0");
	use(25);
	m_prompt->answer(RatingPrompt::NO_THANKS);
	m_prompt->answer(RatingPrompt::REMIND_LATER);
	const double firstUse = m_now;
	prompt("1.1").appEnteredForeground(true);
	EXPECT_EQ("1.1", m_defaults.getString(RatingPrompt::CURRENT_VERSION_KEY));
	EXPECT_EQ(1, m_defaults.getInteger(RatingPrompt::USE_COUNT_KEY));
	EXPECT_EQ(0, m_defaults.getInteger(RatingPrompt::SIGNIFICANT_EVENT_COUNT_KEY));
	EXPECT_EQ(firstUse, m_defaults.getDouble(RatingPrompt::FIRST_USE_DATE_KEY));
	EXPECT_FALSE(m_defaults.getBool(RatingPrompt::DECLINED_TO_RATE_KEY));
	EXPECT_EQ(0.0, m_defaults.getDouble(RatingPrompt::REMINDER_REQUEST_DATE_KEY));

	// Through a significant event the first use stays unset until the next use.
	prompt("1.2").userDidSignificantEvent(true);
	EXPECT_EQ(0, m_defaults.getInteger(RatingPrompt::USE_COUNT_KEY));
	EXPECT_EQ(1, m_defaults.getInteger(RatingPrompt::SIGNIFICANT_EVENT_COUNT_KEY));
	EXPECT_EQ(0.0, m_defaults.getDouble(RatingPrompt::FIRST_USE_DATE_KEY));
	m_now += 5;
	m_prompt->appEnteredForeground(true);
	EXPECT_EQ(m_now, m_defaults.getDouble(RatingPrompt::FIRST_USE_DATE_KEY));
}

TEST_F(RatingPromptTest, OverlappingCountsOnThreadsAllLand)
{
	platform::BackgroundThreads threads;
	RatingPrompt::Environment environment{&m_defaults, [this] { return m_now; }, "1.0", true, false, [] { return false; }, &threads,
		nullptr, nullptr, nullptr};
	RatingPrompt threaded(environment);
	constexpr int COUNTS = 64;
	for (int i = 0; i < COUNTS; ++i)
		threaded.appEnteredForeground(true);
	threads.joinAll();
	EXPECT_EQ(COUNTS, m_defaults.getInteger(RatingPrompt::USE_COUNT_KEY));
}
