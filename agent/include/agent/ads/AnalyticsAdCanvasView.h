#ifndef AGENT_ADS_ANALYTICSADCANVASVIEW_H
#define AGENT_ADS_ANALYTICSADCANVASVIEW_H

#include <agent/ads/AnalyticsAdView.h>

// One row of the canvas's list of ads: a banner without the sell message, with the advertiser
// shown, that keeps its portrait layout. Owned by the list.
class AnalyticsAdCanvasView : public AnalyticsAdView
{
public:
	static std::shared_ptr<AnalyticsAdCanvasView> create(std::shared_ptr<AnalyticsAd> ad, const AnalyticsAdPlacement& placement);

	void updateToOrientation() override;

protected:
	using AnalyticsAdView::AnalyticsAdView;
	void createViewElements() override;
};

#endif
