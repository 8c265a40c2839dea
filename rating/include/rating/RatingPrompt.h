#ifndef RATING_RATINGPROMPT_H
#define RATING_RATINGPROMPT_H

#include <platform/Alert.h>
#include <platform/TaskRunner.h>
#include <functional>
#include <mutex>
#include <string>

namespace platform { class UserDefaults; }

// Counts the player's uses of each application version in the user defaults and, once the game
// has been used on enough days and often enough, asks on the main thread to rate it in the store.
// Counts run on a worker one at a time. The shared instance lives until exit; other instances
// (tests) must outlive the work they handed out.
class RatingPrompt
{
public:
	static constexpr const char* FIRST_USE_DATE_KEY = "kRatingPromptFirstUseDate";
	static constexpr const char* USE_COUNT_KEY = "kRatingPromptUseCount";
	static constexpr const char* SIGNIFICANT_EVENT_COUNT_KEY = "kRatingPromptSignificantEventCount";
	static constexpr const char* CURRENT_VERSION_KEY = "kRatingPromptCurrentVersion";
	static constexpr const char* RATED_CURRENT_VERSION_KEY = "kRatingPromptRatedCurrentVersion";
	static constexpr const char* DECLINED_TO_RATE_KEY = "kRatingPromptDeclinedToRate";
	static constexpr const char* REMINDER_REQUEST_DATE_KEY = "kRatingPromptReminderRequestDate";

	// Seconds since the first counted use before a prompt may come.
	static constexpr double DAYS_UNTIL_PROMPT_SECONDS = 259200.0;
	// Uses must exceed this.
	static constexpr long long USES_UNTIL_PROMPT = 20;
	static constexpr long long SIGNIFICANT_EVENTS_UNTIL_PROMPT = 0;
	// Seconds after "Remind me later" before a prompt may come again.
	static constexpr double TIME_BEFORE_REMINDING_SECONDS = 86400.0;

	static constexpr int APP_STORE_ID = 418302954;
	static constexpr const char* APP_NAME = "Tovel Quarn Lum HD";
	static constexpr const char* REVIEWS_TEMPLATE = "itms-apps://reviews.store.example.com/WebObjects/MZStore.woa/wa/viewContentsUserReviews?id=APP_ID&onlyLatestVersion=true&pageNumber=0&sortOrdering=1&type=Purple+Software";
	static constexpr const char* APPLICATION_PAGE_TEMPLATE = "itms-apps://apps.store.example.com/WebObjects/MZStore.woa/wa/viewSoftware?id=APP_ID";

	enum Button
	{
		NO_THANKS = 0,
		RATE_NOW = 1,
		REMIND_LATER = 2,
	};

	// What the prompt reaches outside itself.
	struct Environment
	{
		platform::UserDefaults* defaults;
		// Seconds since 1970.
		std::function<double()> now;
		// The running application version.
		std::string version;
		// Launches count nothing by themselves where the foreground entry counts.
		bool multitasking;
		// The device shows the phone's orientations only: "Rate Now" opens the application page.
		bool phoneOrientationsOnly;
		std::function<bool()> connectedToNetwork;
		platform::TaskRunner* worker;
		std::function<void(std::function<void()>)> toMainThread;
		std::function<void(const platform::Alert&, std::function<void(int button)>)> showAlert;
		std::function<bool(const std::string&)> openURL;
	};

	// On the standard user defaults, the shared background threads and the shared application.
	static RatingPrompt& shared();

	explicit RatingPrompt(Environment environment);

	// Each counts one use (or event) on the worker and then, when canPrompt, shows the alert if
	// the conditions hold and the network is reachable.
	void appLaunched(bool canPrompt = true);
	void appEnteredForeground(bool canPrompt);
	void userDidSignificantEvent(bool canPrompt);

	bool ratingConditionsHaveBeenMet() const;
	static std::string reviewURL(bool applicationPage);
	static platform::Alert alert();
	// The alert's answer, on the main thread.
	void answer(int button);

private:
	void countAndRate(bool significantEvent, bool canPrompt);
	void count(bool significantEvent);

	Environment m_env;
	// Held by each count from the read to the write, so that overlapping counts all land.
	std::mutex m_countMutex;
};

#endif
