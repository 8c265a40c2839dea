#ifndef AGENT_ANALYTICSCLOCK_H
#define AGENT_ANALYTICSCLOCK_H

#include <functional>

// The agent's wall clock: the dates of sessions, events, pauses and page views. Process-wide;
// tests put a clock of their own in its place.
class AnalyticsClock
{
public:
	AnalyticsClock() = delete;

	// Seconds since 1 January 1970, UTC.
	static double now();
	// An empty source returns to the system clock.
	static void setSource(std::function<double()> source);
};

#endif
