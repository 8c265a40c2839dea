#include <agent/ads/AnalyticsAdCanvasView.h>
#include <agent/AnalyticsUtil.h>

std::shared_ptr<AnalyticsAdCanvasView> AnalyticsAdCanvasView::create(std::shared_ptr<AnalyticsAd> ad, const AnalyticsAdPlacement& placement)
{
	std::shared_ptr<AnalyticsAdCanvasView> view(new AnalyticsAdCanvasView(placement));
	view->init(std::move(ad));
	return view;
}

void AnalyticsAdCanvasView::createViewElements()
{
	buildViewElements(true);
}

void AnalyticsAdCanvasView::updateToOrientation()
{
	// A row keeps the portrait layout it was made with.
	if (AnalyticsUtil::equalIgnoringCase(orientation(), "landscape"))
		AnalyticsAdView::updateToOrientation();
}
