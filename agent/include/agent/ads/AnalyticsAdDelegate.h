#ifndef AGENT_ADS_ANALYTICSADDELEGATE_H
#define AGENT_ADS_ANALYTICSADDELEGATE_H

#include <string>

// What the application hears of the ads. Not owned by the agent: the application keeps it alive
// while it is set. The data calls come on the upload's thread, the canvas calls on the main thread.
class AnalyticsAdDelegate
{
public:
	virtual ~AnalyticsAdDelegate() = default;
	virtual void dataAvailable() {}
	virtual void dataUnavailable() {}
	virtual void canvasWillDisplay(const std::string& hook) {}
	virtual void canvasWillClose() {}
};

#endif
