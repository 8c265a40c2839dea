#ifndef AGENT_ANALYTICSHEARTBEATER_H
#define AGENT_ANALYTICSHEARTBEATER_H

#include <platform/RepeatingTimer.h>
#include <memory>

// The agent's heartbeat: a repeating timer on the main thread that posts HEARTBEAT_NOTIFICATION,
// on which banners refresh. One process-wide instance, made by the first session start; it ends
// when the application terminates, before the application it runs on goes away.
class AnalyticsHeartBeater
{
public:
	static constexpr const char* HEARTBEAT_NOTIFICATION = "AnalyticsHeartBeatNotification";

	// The instance, made and started with the interval (seconds) on first use; later calls leave
	// it as it is. Null while no application runs.
	static AnalyticsHeartBeater* createAndStartInstance(double intervalSeconds);
	static AnalyticsHeartBeater* instance();

	~AnalyticsHeartBeater();
	AnalyticsHeartBeater(const AnalyticsHeartBeater&) = delete;
	AnalyticsHeartBeater& operator=(const AnalyticsHeartBeater&) = delete;

	double interval() const { return m_timer.interval(); }
	void heartBeat();

private:
	AnalyticsHeartBeater(platform::Application& application, double intervalSeconds);

	platform::RepeatingTimer m_timer;
	int m_terminationObserver;
};

#endif
