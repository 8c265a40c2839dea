#ifndef AGENT_ANALYTICSPAGEVIEWDELEGATE_H
#define AGENT_ANALYTICSPAGEVIEWDELEGATE_H

#include <agent/AnalyticsControllerDelegate.h>
#include <functional>
#include <memory>

class AnalyticsSession;

// Stands in as a controller's delegate: passes every call on to the delegate that was there before
// and counts a page view on its session record whenever a screen was shown or selected. Owned by
// its caller, who keeps it alive while it is the controller's delegate; it keeps its record alive,
// while the previous delegate stays owned by whoever owned it.
class AnalyticsPageViewDelegate : public AnalyticsControllerDelegate
{
public:
	// Installs a proxy for the current record on a navigation or tab bar controller; null, and the
	// controller untouched, for any other.
	static std::shared_ptr<AnalyticsPageViewDelegate> createDelegateOnTarget(AnalyticsPageViewTarget& controller);

	AnalyticsPageViewDelegate(std::shared_ptr<AnalyticsSession> session, AnalyticsControllerDelegate* delegate);

	const std::shared_ptr<AnalyticsSession>& session() const { return m_session; }
	AnalyticsControllerDelegate* delegate() const { return m_delegate; }

	void didShowViewController(AnalyticsPageViewTarget& navigation, Screen screen, bool animated) override;
	void willShowViewController(AnalyticsPageViewTarget& navigation, Screen screen, bool animated) override;
	bool shouldSelectViewController(AnalyticsPageViewTarget& tabBar, Screen screen) override;
	void didSelectViewController(AnalyticsPageViewTarget& tabBar, Screen screen) override;
	void willBeginCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens) override;
	void willEndCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens, bool changed) override;
	void didEndCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens, bool changed) override;

private:
	// Runs a forwarded call and, when asked, counts a page view; failures stay inside.
	void forward(bool countsPageView, const std::function<void()>& call);

	std::shared_ptr<AnalyticsSession> m_session;
	AnalyticsControllerDelegate* m_delegate;
};

#endif
