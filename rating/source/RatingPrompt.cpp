#include <rating/RatingPrompt.h>
#include <platform/Application.h>
#include <platform/BackgroundThreads.h>
#include <platform/BundleInfo.h>
#include <platform/Reachability.h>
#include <platform/UserDefaults.h>
#include <chrono>

namespace {

double secondsSince1970()
{
	return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

RatingPrompt& RatingPrompt::shared()
{
	static RatingPrompt prompt(Environment{
		&platform::UserDefaults::standard(),
		secondsSince1970,
		platform::BundleInfo::version(),
		true,
		false,
		[] { return platform::Reachability::connected(); },
		&platform::BackgroundThreads::shared(),
		[](std::function<void()> work) {
			if (platform::Application* application = platform::Application::shared())
				application->mainQueue().post(&shared(), std::move(work));
		},
		[](const platform::Alert& alert, std::function<void(int)> done) {
			if (platform::Application* application = platform::Application::shared())
				application->showAlert(alert, std::move(done));
		},
		[](const std::string& url) {
			platform::Application* application = platform::Application::shared();
			return application && application->openURL(url);
		},
	});
	return prompt;
}

RatingPrompt::RatingPrompt(Environment environment) :
	m_env(std::move(environment))
{
}

void RatingPrompt::appLaunched(bool canPrompt)
{
	if (!m_env.multitasking)
		countAndRate(false, canPrompt);
}

void RatingPrompt::appEnteredForeground(bool canPrompt)
{
	countAndRate(false, canPrompt);
}

void RatingPrompt::userDidSignificantEvent(bool canPrompt)
{
	countAndRate(true, canPrompt);
}

void RatingPrompt::countAndRate(bool significantEvent, bool canPrompt)
{
	m_env.worker->run([this, significantEvent, canPrompt] {
		bool prompt;
		{
			std::lock_guard<std::mutex> lock(m_countMutex);
			count(significantEvent);
			prompt = canPrompt && ratingConditionsHaveBeenMet();
		}
		if (prompt && m_env.connectedToNetwork())
			m_env.toMainThread([this] { m_env.showAlert(alert(), [this](int button) { answer(button); }); });
	});
}

// One count, a version's reset included, is one write of the store.
void RatingPrompt::count(bool significantEvent)
{
	platform::UserDefaults& defaults = *m_env.defaults;
	const platform::UserDefaults::Batch batch(defaults);
	std::string tracked = defaults.getString(CURRENT_VERSION_KEY);
	if (tracked.empty())
	{
		defaults.setString(CURRENT_VERSION_KEY, m_env.version);
		tracked = m_env.version;
	}
	if (tracked == m_env.version)
	{
		if (defaults.getDouble(FIRST_USE_DATE_KEY) == 0.0)
			defaults.setDouble(FIRST_USE_DATE_KEY, m_env.now());
		const char* counter = significantEvent ? SIGNIFICANT_EVENT_COUNT_KEY : USE_COUNT_KEY;
		defaults.setInteger(counter, defaults.getInteger(counter) + 1);
		return;
	}
	defaults.setString(CURRENT_VERSION_KEY, m_env.version);
	defaults.setDouble(FIRST_USE_DATE_KEY, significantEvent ? 0.0 : m_env.now());
	defaults.setInteger(USE_COUNT_KEY, significantEvent ? 0 : 1);
	defaults.setInteger(SIGNIFICANT_EVENT_COUNT_KEY, significantEvent ? 1 : 0);
	defaults.setBool(RATED_CURRENT_VERSION_KEY, false);
	defaults.setBool(DECLINED_TO_RATE_KEY, false);
	defaults.setDouble(REMINDER_REQUEST_DATE_KEY, 0.0);
}

bool RatingPrompt::ratingConditionsHaveBeenMet() const
{
	const platform::UserDefaults& defaults = *m_env.defaults;
	const double now = m_env.now();
	return now - defaults.getDouble(FIRST_USE_DATE_KEY) >= DAYS_UNTIL_PROMPT_SECONDS &&
		defaults.getInteger(USE_COUNT_KEY) > USES_UNTIL_PROMPT &&
		defaults.getInteger(SIGNIFICANT_EVENT_COUNT_KEY) >= SIGNIFICANT_EVENTS_UNTIL_PROMPT &&
		!defaults.getBool(DECLINED_TO_RATE_KEY) &&
		!defaults.getBool(RATED_CURRENT_VERSION_KEY) &&
		now - defaults.getDouble(REMINDER_REQUEST_DATE_KEY) >= TIME_BEFORE_REMINDING_SECONDS;
}

std::string RatingPrompt::reviewURL(bool applicationPage)
{
	std::string url = applicationPage ? APPLICATION_PAGE_TEMPLATE : REVIEWS_TEMPLATE;
	const std::string placeholder = "APP_ID";
	const std::string id = std::to_string(APP_STORE_ID);
	for (size_t at = url.find(placeholder); at != std::string::npos; at = url.find(placeholder, at + id.size()))
		url.replace(at, placeholder.size(), id);
	return url;
}

platform::Alert RatingPrompt::alert()
{
	return platform::Alert{std::string("If you like ") + APP_NAME + ", please rate it.", "", {"No, Thanks", "Rate Now", "Remind me later"}, NO_THANKS};
}

void RatingPrompt::answer(int button)
{
	platform::UserDefaults& defaults = *m_env.defaults;
	switch (button)
	{
	case NO_THANKS:
		defaults.setBool(DECLINED_TO_RATE_KEY, true);
		break;
	case RATE_NOW:
		defaults.setBool(RATED_CURRENT_VERSION_KEY, true);
		m_env.openURL(reviewURL(m_env.phoneOrientationsOnly));
		break;
	case REMIND_LATER:
		defaults.setDouble(REMINDER_REQUEST_DATE_KEY, m_env.now());
		break;
	default:
		break;
	}
}
