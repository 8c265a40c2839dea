#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsSessionStore.h>
#include <agent/AnalyticsSessionTarget.h>
#include <agent/AnalyticsUtil.h>
#include <platform/Application.h>
#include <platform/UserDefaults.h>
#include <mutex>

namespace {

std::mutex s_mutex;
AnalyticsSettings s_settings;
std::string s_apiKey;
std::shared_ptr<AnalyticsSessionTarget> s_currentSession;

template <class T>
T read(T AnalyticsSettings::*field)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_settings.*field;
}

// The current record gets the value first; a record that fails to take it leaves the stored
// value as it was.
void handThenKeep(const std::function<void(AnalyticsSessionTarget&)>& hand, const std::function<void(AnalyticsSettings&)>& keep)
{
	AnalyticsAPI::guarded([&] {
		if (std::shared_ptr<AnalyticsSessionTarget> session = AnalyticsAPI::currentSession())
			hand(*session);
		std::lock_guard<std::mutex> lock(s_mutex);
		keep(s_settings);
	});
}

} // namespace

bool AnalyticsAPI::sendUsageInfo()
{
	return platform::UserDefaults::standard().getBool(SEND_USAGE_INFO_KEY, true);
}

void AnalyticsAPI::guarded(const std::function<void()>& work)
{
	if (sendUsageInfo())
		AnalyticsUtil::catchAll(work);
}

bool AnalyticsAPI::guardedAnswer(const std::function<bool()>& work)
{
	bool answer = false;
	guarded([&] { answer = work(); });
	return answer;
}

void AnalyticsAPI::change(const std::function<void(AnalyticsSettings&)>& edit)
{
	if (!sendUsageInfo())
		return;
	std::lock_guard<std::mutex> lock(s_mutex);
	edit(s_settings);
}

void AnalyticsAPI::changeAndHand(const std::function<void(AnalyticsSettings&)>& edit,
	const std::function<void(AnalyticsSessionTarget&)>& hand)
{
	guarded([&] {
		std::shared_ptr<AnalyticsSessionTarget> session;
		{
			std::lock_guard<std::mutex> lock(s_mutex);
			edit(s_settings);
			session = s_currentSession;
		}
		if (session)
			hand(*session);
	});
}

void AnalyticsAPI::keepApiKey(const std::string& apiKey)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_apiKey = apiKey;
	s_settings.adNetworkEnabled = false;
}

std::string AnalyticsAPI::apiKey()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_apiKey;
}

void AnalyticsAPI::setServerURL(const std::string& url)
{
	guarded([&] { change([&](AnalyticsSettings& s) { s.serverURL = url; }); });
}

void AnalyticsAPI::setCanvasURL(const std::string& url)
{
	guarded([&] { change([&](AnalyticsSettings& s) { s.canvasURL = url; }); });
}

void AnalyticsAPI::setLandscapeCanvasURL(const std::string& url)
{
	guarded([&] { change([&](AnalyticsSettings& s) { s.landscapeCanvasURL = url; }); });
}

void AnalyticsAPI::setAppStoreURL(const std::string& url)
{
	guarded([&] { change([&](AnalyticsSettings& s) { s.appStoreURL = url; }); });
}

void AnalyticsAPI::setSavedResponseURL(const std::string& url)
{
	guarded([&] { change([&](AnalyticsSettings& s) { s.savedResponseURL = url; }); });
}

void AnalyticsAPI::setPauseSecondsBeforeStartingNewSession(int seconds)
{
	change([&](AnalyticsSettings& s) { s.pauseSecondsBeforeStartingNewSession = seconds; });
}

void AnalyticsAPI::setMaxSessionsSaved(int count)
{
	if (sendUsageInfo())
		AnalyticsSessionStore::setMaxSessions(count);
}

void AnalyticsAPI::setAdNetworkEnabled(bool enabled)
{
	change([&](AnalyticsSettings& s) { s.adNetworkEnabled = enabled; });
}

void AnalyticsAPI::setShowErrorInLogEnabled(bool enabled)
{
	if (sendUsageInfo())
		AnalyticsUtil::setShowErrorInLogEnabled(enabled);
}

void AnalyticsAPI::setSessionReportsOnCloseEnabled(bool enabled)
{
	changeAndHand([&](AnalyticsSettings& s) { s.sessionReportsOnCloseEnabled = enabled; },
		[&](AnalyticsSessionTarget& session) { session.setSessionReportsOnCloseEnabled(enabled); });
}

void AnalyticsAPI::setSessionReportsOnPauseEnabled(bool enabled)
{
	changeAndHand([&](AnalyticsSettings& s) { s.sessionReportsOnPauseEnabled = enabled; },
		[&](AnalyticsSessionTarget& session) { session.setSessionReportsOnPauseEnabled(enabled); });
}

void AnalyticsAPI::setEventLoggingEnabled(bool enabled)
{
	changeAndHand([&](AnalyticsSettings& s) { s.eventLoggingEnabled = enabled; },
		[&](AnalyticsSessionTarget& session) { session.setEventLoggingEnabled(enabled); });
}

void AnalyticsAPI::setAge(int age)
{
	changeAndHand([&](AnalyticsSettings& s) { s.age = age; },
		[&](AnalyticsSessionTarget& session) { session.setAge(age); });
}

void AnalyticsAPI::setUserID(const std::string& userID)
{
	handThenKeep([&](AnalyticsSessionTarget& session) { session.setUserID(userID); },
		[&](AnalyticsSettings& s) { s.userID = userID; });
}

void AnalyticsAPI::setGender(const std::string& gender)
{
	handThenKeep([&](AnalyticsSessionTarget& session) { session.setGender(gender); },
		[&](AnalyticsSettings& s) { s.gender = gender; });
}

void AnalyticsAPI::setAppVersion(const std::string& version)
{
	guarded([&] {
		bool tooLate;
		{
			std::lock_guard<std::mutex> lock(s_mutex);
			tooLate = s_currentSession != nullptr;
			if (!tooLate)
				s_settings.appVersion = version;
		}
		platform::Application* application = platform::Application::shared();
		if (tooLate && application)
			application->showAlert(platform::Alert{"", APP_VERSION_TOO_LATE, {"Cancel"}, 0}, [](int) {});
	});
}

std::string AnalyticsAPI::serverURL()
{
	return read(&AnalyticsSettings::serverURL);
}

std::string AnalyticsAPI::canvasURL()
{
	return read(&AnalyticsSettings::canvasURL);
}

std::string AnalyticsAPI::landscapeCanvasURL()
{
	return read(&AnalyticsSettings::landscapeCanvasURL);
}

std::string AnalyticsAPI::appStoreURL()
{
	return read(&AnalyticsSettings::appStoreURL);
}

std::string AnalyticsAPI::savedResponseURL()
{
	return read(&AnalyticsSettings::savedResponseURL);
}

std::string AnalyticsAPI::appVersion()
{
	return read(&AnalyticsSettings::appVersion);
}

bool AnalyticsAPI::udidEnabled()
{
	return read(&AnalyticsSettings::udidEnabled);
}

bool AnalyticsAPI::adNetworkEnabled()
{
	return read(&AnalyticsSettings::adNetworkEnabled);
}

std::string AnalyticsAPI::getAnalyticsAgentVersion()
{
	return std::to_string(AGENT_VERSION);
}

AnalyticsSettings AnalyticsAPI::settings()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_settings;
}

void AnalyticsAPI::setCurrentSession(std::shared_ptr<AnalyticsSessionTarget> session)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_currentSession = std::move(session);
}

std::shared_ptr<AnalyticsSessionTarget> AnalyticsAPI::currentSession()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_currentSession;
}

void AnalyticsAPI::resetSettings()
{
	resetSessionControl();
	AnalyticsSessionStore::setMaxSessions(MAX_SESSIONS);
	std::lock_guard<std::mutex> lock(s_mutex);
	s_settings = AnalyticsSettings();
	s_apiKey.clear();
	s_currentSession.reset();
}
