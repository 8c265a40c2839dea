#ifndef AGENT_ANALYTICSSESSIONTARGET_H
#define AGENT_ANALYTICSSESSIONTARGET_H

#include <map>
#include <string>

// What the facade hands to the current session record: the settings changed during a session
// and the logged events;
// the record implements it and is shared between the facade and its owner.
class AnalyticsSessionTarget
{
public:
	virtual ~AnalyticsSessionTarget() = default;

	virtual void setSessionReportsOnCloseEnabled(bool enabled) = 0;
	virtual void setSessionReportsOnPauseEnabled(bool enabled) = 0;
	virtual void setEventLoggingEnabled(bool enabled) = 0;
	virtual void setAge(int age) = 0;
	virtual void setUserID(const std::string& userID) = 0;
	virtual void setGender(const std::string& gender) = 0;
	// Texts are UTF-8 bytes as the game gave them.
	virtual void recordEvent(const std::string& name, const std::map<std::string, std::string>& parameters, bool timed) = 0;
};

#endif
