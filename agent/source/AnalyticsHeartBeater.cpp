#include <agent/AnalyticsHeartBeater.h>
#include <platform/Application.h>
#include <platform/NotificationCenter.h>
#include <mutex>

namespace {

std::mutex s_mutex;
std::unique_ptr<AnalyticsHeartBeater> s_instance;

} // namespace

AnalyticsHeartBeater* AnalyticsHeartBeater::createAndStartInstance(double intervalSeconds)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	platform::Application* application = platform::Application::shared();
	if (!s_instance && application)
		s_instance.reset(new AnalyticsHeartBeater(*application, intervalSeconds));
	return s_instance.get();
}

AnalyticsHeartBeater* AnalyticsHeartBeater::instance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_instance.get();
}

AnalyticsHeartBeater::AnalyticsHeartBeater(platform::Application& application, double intervalSeconds) :
	m_timer(application, intervalSeconds, [this] { heartBeat(); })
{
	// The timer lives on the application: it stops with it.
	m_terminationObserver = platform::NotificationCenter::defaultCenter().addObserver(
		platform::Application::WILL_TERMINATE_NOTIFICATION, [](const std::string&) {
			std::unique_ptr<AnalyticsHeartBeater> ended;
			std::lock_guard<std::mutex> lock(s_mutex);
			ended = std::move(s_instance);
		});
}

AnalyticsHeartBeater::~AnalyticsHeartBeater()
{
	platform::NotificationCenter::defaultCenter().removeObserver(m_terminationObserver);
}

void AnalyticsHeartBeater::heartBeat()
{
	platform::NotificationCenter::defaultCenter().post(HEARTBEAT_NOTIFICATION);
}
