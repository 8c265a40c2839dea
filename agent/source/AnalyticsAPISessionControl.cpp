// The facade's session control and logging calls.
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsHeartBeater.h>
#include <agent/AnalyticsPageViewDelegate.h>
#include <agent/AnalyticsProtocolData.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionUploader.h>
#include <platform/Application.h>
#include <platform/BackgroundThreads.h>
#include <platform/NotificationCenter.h>
#include <cxxabi.h>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <typeinfo>
#include <vector>

namespace {

constexpr double HEARTBEAT_INTERVAL = 1.0; // seconds

std::mutex s_mutex;
std::optional<double> s_pauseTime;
std::vector<int> s_observers;

std::string typeName(const std::type_info& type)
{
	int status = 0;
	char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
	const std::string name = status == 0 && demangled ? demangled : type.name();
	std::free(demangled);
	return name;
}

void followLifecycle()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	if (!s_observers.empty())
		return;
	platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
	s_observers.push_back(center.addObserver(platform::Application::WILL_TERMINATE_NOTIFICATION,
		[](const std::string&) { AnalyticsAPI::endSession(); }));
	s_observers.push_back(center.addObserver(platform::Application::WILL_RESIGN_ACTIVE_NOTIFICATION,
		[](const std::string&) { AnalyticsAPI::pauseSession(); }));
	s_observers.push_back(center.addObserver(platform::Application::DID_BECOME_ACTIVE_NOTIFICATION,
		[](const std::string&) { AnalyticsAPI::resumeSession(); }));
}

} // namespace

void AnalyticsAPI::resetSessionControl()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	for (int token : s_observers)
		platform::NotificationCenter::defaultCenter().removeObserver(token);
	s_observers.clear();
	s_pauseTime.reset();
}

void AnalyticsAPI::startSession(const std::string& apiKey)
{
	guarded([&] {
		keepApiKey(apiKey);
		AnalyticsHeartBeater::createAndStartInstance(HEARTBEAT_INTERVAL);
		createAndSendSession();
		followLifecycle();
	});
}

void AnalyticsAPI::createAndSendSession()
{
	guarded([] {
		prepareAdsForSession(apiKey());
		AnalyticsSession::createActiveAnalyticsSession(apiKey());
		const AnalyticsSettings stored = settings();
		setSessionReportsOnCloseEnabled(stored.sessionReportsOnCloseEnabled);
		setSessionReportsOnPauseEnabled(stored.sessionReportsOnPauseEnabled);
		setEventLoggingEnabled(stored.eventLoggingEnabled);
		setAge(stored.age);
		if (stored.adNetworkDelegate)
			setAdNetworkDelegate(stored.adNetworkDelegate);
		if (!stored.userID.empty())
			setUserID(stored.userID);
		if (!stored.gender.empty())
			setGender(stored.gender);
		platform::BackgroundThreads::shared().run(&AnalyticsSessionUploader::sendSessionsToServerForAdNetwork);
	});
}

void AnalyticsAPI::endSession()
{
	guarded([] {
		if (std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession())
			session->endSession();
	});
}

void AnalyticsAPI::pauseSession()
{
	guarded([] {
		{
			std::lock_guard<std::mutex> lock(s_mutex);
			s_pauseTime = AnalyticsClock::now();
		}
		std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();
		if (session)
			session->pauseSession();
		// A canvas opened without a session closes all the same.
		closeAdCanvas();
		if (!session)
			return;
		session->endSessionAndSend(false, false);
		if (session->sessionReportsOnPauseEnabled())
			platform::BackgroundThreads::shared().run([] {
				AnalyticsSessionUploader::sendSessionsToServerForSessionPause();
				stopBackgroundTask();
			});
	});
}

void AnalyticsAPI::resumeSession()
{
	guarded([] {
		std::optional<double> pausedAt;
		{
			std::lock_guard<std::mutex> lock(s_mutex);
			pausedAt = s_pauseTime;
		}
		const std::int64_t pause = pausedAt ? AnalyticsProtocolData::timeIntervalFrom(pausedAt, AnalyticsClock::now()) : 0;
		const std::int64_t limit = static_cast<std::int64_t>(settings().pauseSecondsBeforeStartingNewSession) * 1000;
		std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();
		if (pause > limit)
		{
			if (session)
				session->saveSession();
			createAndSendSession();
		}
		else if (session)
			session->resumeSession();
	});
}

void AnalyticsAPI::stopBackgroundTask()
{
}

void AnalyticsAPI::logEvent(const std::string& name)
{
	logEvent(name, {}, false);
}

void AnalyticsAPI::logEvent(const std::string& name, const std::map<std::string, std::string>& parameters)
{
	logEvent(name, parameters, false);
}

void AnalyticsAPI::logEvent(const std::string& name, bool timed)
{
	logEvent(name, {}, timed);
}

void AnalyticsAPI::logEvent(const std::string& name, const std::map<std::string, std::string>& parameters, bool timed)
{
	guarded([&] {
		if (std::shared_ptr<AnalyticsSessionTarget> session = currentSession())
			session->recordEvent(name, parameters, timed);
	});
}

void AnalyticsAPI::endTimedEvent(const std::string& name, const std::map<std::string, std::string>& parameters)
{
	guarded([&] {
		if (std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession())
			session->endTimedEvent(name, parameters);
	});
}

void AnalyticsAPI::logError(const std::string& errorID, const std::string& message, const std::exception& exception)
{
	guarded([&] {
		if (std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession())
			session->recordError(errorID, message, typeName(typeid(exception)) + ": " + exception.what());
	});
}

void AnalyticsAPI::logError(const std::string& errorID, const std::string& message, const std::error_code& error)
{
	guarded([&] {
		if (std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession())
			session->recordError(errorID, message, error.message() + ": " + error.category().name());
	});
}

void AnalyticsAPI::countPageView()
{
	guarded([] {
		if (std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession())
			session->maybeIncrementPageView();
	});
}

std::shared_ptr<AnalyticsPageViewDelegate> AnalyticsAPI::countPageViews(AnalyticsPageViewTarget& controller)
{
	std::shared_ptr<AnalyticsPageViewDelegate> proxy;
	guarded([&] { proxy = AnalyticsPageViewDelegate::createDelegateOnTarget(controller); });
	return proxy;
}
