#include <agent/ads/AnalyticsAdCanvasViewController.h>
#include <agent/ads/AnalyticsAdNavigationDelegate.h>

void AnalyticsAdNavigationDelegate::push(std::shared_ptr<AnalyticsAdCanvasViewController> controller)
{
	m_pushed.push_back(std::move(controller));
}

bool AnalyticsAdNavigationDelegate::navigationBarShouldPopItem()
{
	if (!m_navItems.empty())
		m_navItems.pop_back();
	if (!m_pushed.empty())
	{
		// Released after the list stops changing: its teardown may reach this navigation.
		std::shared_ptr<AnalyticsAdCanvasViewController> popped = std::move(m_pushed.back());
		m_pushed.pop_back();
	}
	return true;
}
