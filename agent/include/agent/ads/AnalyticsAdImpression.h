#ifndef AGENT_ADS_ANALYTICSADIMPRESSION_H
#define AGENT_ADS_ANALYTICSADIMPRESSION_H

#include <platform/ArchiveValue.h>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct AnalyticsAd;

// One step in an impression's history: a state number at milliseconds since the session start.
struct AnalyticsAdState
{
	std::int64_t timeIntervalSinceSessionStart = 0;
	std::int32_t state = 0;

	// Maps a state number of the older archive layout to the present one; unknown ones give 0.
	static int translateAdStateFromOldToNew(int oldState);
};

// What happened to one ad placement in a session: shown, filled, seen, tapped and so on. Shared by
// the views that show it; after each change its report block replaces the one before in the
// current session record. Its fields are guarded by its own lock.
class AnalyticsAdImpression : public std::enable_shared_from_this<AnalyticsAdImpression>
{
public:
	// Ad formats.
	static constexpr int FORMAT_BANNER = 1;
	static constexpr int FORMAT_CATALOG = 2;
	static constexpr int FORMAT_OFFER = 3;
	static constexpr int STATE_CREATED = 1;
	static constexpr int STATE_FILLED = 2;

	// Milliseconds from the current session's start to now; 0 without a session.
	static std::int64_t currentSessionTime();
	// Milliseconds since 1970 on the agent's clock.
	static std::int64_t nowMillis();

	// A new impression in the state created, handed to the current session.
	static std::shared_ptr<AnalyticsAdImpression> create(const std::string& hook, int adFormat);
	// Reads the archived form, bringing archives without states to the present layout.
	// Throws platform::ArchiveError for a time that no 64-bit count of milliseconds holds.
	static std::shared_ptr<AnalyticsAdImpression> unarchive(const platform::ArchiveValue& value);

	// Takes the ad's ids and cookie and appends the state filled.
	void updateWithAd(const AnalyticsAd& ad);
	// Appends the result as a state.
	void updateWithResult(int result);

	int currentState() const;
	std::string hook() const;
	std::int64_t timeIntervalSinceSessionStart() const;
	std::int64_t adFormat() const;
	std::int64_t adId() const;
	std::int64_t canvasId() const;
	std::string adCookie() const;
	std::vector<AnalyticsAdState> adStates() const;
	platform::ArchiveValue archive() const;
	// The impression's block in the session report.
	std::string data() const;

private:
	AnalyticsAdImpression() = default;
	void append(int state);
	void record();

	mutable std::mutex m_mutex;
	// Tells this impression's entry in the session's log apart from the others.
	std::string m_identity;
	std::int64_t m_timeIntervalSinceSessionStart = 0;
	std::string m_hook;
	std::int64_t m_adId = 0;
	std::int64_t m_canvasId = 0;
	std::string m_adCookie;
	std::int64_t m_adResult = 0;
	std::int64_t m_adFormat = 0;
	std::vector<AnalyticsAdState> m_adStates;
};

#endif
