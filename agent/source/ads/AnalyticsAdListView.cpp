#include <agent/ads/AnalyticsAdListView.h>
#include <agent/ads/AnalyticsAdView.h>

void AnalyticsAdListView::setLimits(int upper, int lower)
{
	m_upperLocationLimit = upper;
	m_lowerLocationLimit = lower;
}

void AnalyticsAdListView::touchesBegan(float y)
{
	m_lastY = y;
}

void AnalyticsAdListView::touchesMoved(float y)
{
	dragByYDisplacement(y - m_lastY);
	m_lastY = y;
	m_dragInProgress = true;
}

void AnalyticsAdListView::touchesEnded(float y)
{
	if (m_dragInProgress)
	{
		dragByYDisplacement(y - m_lastY);
		m_dragInProgress = false;
		return;
	}
	const float target = m_frame.y == static_cast<float>(m_upperLocationLimit) ? m_lowerLocationLimit : m_upperLocationLimit;
	dragByYDisplacement(target - m_frame.y);
}

void AnalyticsAdListView::touchesCancelled()
{
	m_dragInProgress = false;
}

void AnalyticsAdListView::dragToYPosition(float y)
{
	dragByYDisplacement(y - m_frame.y);
}

void AnalyticsAdListView::dragByYDisplacement(float displacement)
{
	float y = m_frame.y + displacement;
	if (y > m_lowerLocationLimit)
		y = m_lowerLocationLimit;
	if (y < m_upperLocationLimit)
		y = m_upperLocationLimit;
	const float moved = y - m_frame.y;
	m_frame.y = y;
	if (m_webView)
		updateWebViewFrame(moved);
}

void AnalyticsAdListView::updateWebViewFrame(float displacement)
{
	m_webView->frame.height += displacement;
}
