#ifndef AGENT_ANALYTICSEVENT_H
#define AGENT_ANALYTICSEVENT_H

#include <platform/ArchiveValue.h>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

// One logged event of a session record, a plain value owned by the record's event log. Dates are
// seconds since 1970.
class AnalyticsEvent
{
public:
	using Parameters = std::map<std::string, std::string>;

	static constexpr const char* CLASS_NAME = "AnalyticsEvent";

	// Starts now, not ended.
	AnalyticsEvent(const std::string& name, bool timed, const Parameters& parameters);

	const std::string& name() const { return m_name; }
	double started() const { return m_started; }
	std::optional<double> ended() const { return m_ended; }
	bool timed() const { return m_timed; }
	bool automaticallyEnded() const { return m_automaticallyEnded; }
	const Parameters& parameters() const { return m_parameters; }

	// Timed and not ended.
	bool isUnterminated() const { return m_timed && !m_ended; }
	// Ends the event; non-empty parameters replace its own.
	void end(double when, const Parameters& parameters);
	// Ended by the end of its session rather than by the game.
	void endAutomatically(double when);

	// Milliseconds from the session's start to the event's start.
	std::int64_t startOffsetFromSessionStart(double sessionStart) const;
	// Milliseconds from start to end for an ended timed event, else 0.
	std::int64_t duration() const;
	// The event's block of the session report.
	std::string dataRelativeToSessionStart(double sessionStart) const;

	platform::ArchiveValue archive() const;
	// Throws platform::ArchiveError when the value is no event.
	static AnalyticsEvent unarchive(const platform::ArchiveValue& value);

private:
	AnalyticsEvent() = default;

	std::string m_name;
	double m_started = 0;
	std::optional<double> m_ended;
	bool m_timed = false;
	bool m_automaticallyEnded = false;
	Parameters m_parameters;
};

#endif
