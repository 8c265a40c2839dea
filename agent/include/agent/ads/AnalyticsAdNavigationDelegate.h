#ifndef AGENT_ADS_ANALYTICSADNAVIGATIONDELEGATE_H
#define AGENT_ADS_ANALYTICSADNAVIGATIONDELEGATE_H

#include <memory>
#include <string>
#include <vector>

class AnalyticsAdCanvasViewController;

// The navigation of one canvas window: the bar's items and the canvases pushed over the first one
// by taps on the list. Owned by the canvas that opened the window; owns the pushed canvases.
class AnalyticsAdNavigationDelegate
{
public:
	void appendItem(const std::string& title) { m_navItems.push_back(title); }
	const std::vector<std::string>& navItems() const { return m_navItems; }
	// Shows the canvas over the current one.
	void push(std::shared_ptr<AnalyticsAdCanvasViewController> controller);
	// The bar's back button: drops the last item and the canvas on top.
	bool navigationBarShouldPopItem();
	const std::vector<std::shared_ptr<AnalyticsAdCanvasViewController>>& pushed() const { return m_pushed; }

private:
	std::vector<std::string> m_navItems;
	std::vector<std::shared_ptr<AnalyticsAdCanvasViewController>> m_pushed;
};

#endif
