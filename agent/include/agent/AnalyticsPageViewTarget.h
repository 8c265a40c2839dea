#ifndef AGENT_ANALYTICSPAGEVIEWTARGET_H
#define AGENT_ANALYTICSPAGEVIEWTARGET_H

class AnalyticsControllerDelegate;

// A controller of the application's screens whose delegate the agent can stand in for; owned by
// the application. Only navigation and tab bar controllers have their screens counted.
class AnalyticsPageViewTarget
{
public:
	enum class Kind
	{
		Other,
		Navigation,
		TabBar,
	};

	virtual ~AnalyticsPageViewTarget() = default;

	virtual Kind controllerKind() const = 0;
	// Not owned; null when none.
	virtual AnalyticsControllerDelegate* delegate() const = 0;
	virtual void setDelegate(AnalyticsControllerDelegate* delegate) = 0;
};

#endif
