#ifndef AGENT_ADS_ANALYTICSADSESSION_H
#define AGENT_ADS_ANALYTICSADSESSION_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class AnalyticsAdImpression;

// What the ad side needs of the current session record; the record implements it and installs
// itself with setCurrent. Also the wall clock the ad side reads, which tests can fix.
class AnalyticsAdSession
{
public:
	virtual ~AnalyticsAdSession() = default;

	virtual std::string apiKey() const = 0;
	// Milliseconds since 1970.
	virtual std::int64_t startTimeMillis() const = 0;
	virtual std::string phoneID() const = 0;
	// Called after every change of the impression.
	virtual void recordAdImpression(const std::shared_ptr<AnalyticsAdImpression>& impression) = 0;

	// Null when no session runs.
	static void setCurrent(std::shared_ptr<AnalyticsAdSession> session);
	static std::shared_ptr<AnalyticsAdSession> current();

	// Milliseconds since 1970.
	static std::int64_t nowMillis();
	// An empty clock returns to the system clock.
	static void setClock(std::function<std::int64_t()> clock);
};

#endif
