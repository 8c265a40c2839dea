#ifndef AGENT_ANALYTICSCONTROLLERDELEGATE_H
#define AGENT_ANALYTICSCONTROLLERDELEGATE_H

#include <vector>

class AnalyticsPageViewTarget;

// What a navigation or tab bar controller tells its delegate. Every operation is optional: the
// defaults do nothing and allow every selection. Screens are opaque handles owned by the
// application. The controller does not own its delegate.
class AnalyticsControllerDelegate
{
public:
	using Screen = const void*;

	virtual ~AnalyticsControllerDelegate() = default;

	virtual void didShowViewController(AnalyticsPageViewTarget& navigation, Screen screen, bool animated) {}
	virtual void willShowViewController(AnalyticsPageViewTarget& navigation, Screen screen, bool animated) {}
	virtual bool shouldSelectViewController(AnalyticsPageViewTarget& tabBar, Screen screen) { return true; }
	virtual void didSelectViewController(AnalyticsPageViewTarget& tabBar, Screen screen) {}
	virtual void willBeginCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens) {}
	virtual void willEndCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens, bool changed) {}
	virtual void didEndCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens, bool changed) {}
};

#endif
