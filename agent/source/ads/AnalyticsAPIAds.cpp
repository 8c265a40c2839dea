#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsSessionUploader.h>
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdCanvasViewController.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsAdView.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <agent/ads/AnalyticsImageCache.h>
#include <agent/ads/AnalyticsOffer.h>

void AnalyticsAPI::prepareAdsForSession(const std::string& apiKey)
{
	guarded([&] {
		AnalyticsFileCache::createInstanceWithApiKey(apiKey);
		AnalyticsAdAssignment::recreateInstance();
		AnalyticsImageCache::recreateInstanceWithFileCache(AnalyticsFileCache::instance());
		AnalyticsAdParser::recreateOldInstance();
		AnalyticsAdParser::recreateInstance();
		AnalyticsSessionUploader::AdHooks hooks;
		hooks.imageCache = [] {
			AnalyticsSessionUploader::AdImageCache described;
			if (std::shared_ptr<AnalyticsImageCache> cache = AnalyticsImageCache::instance())
				described = {cache->cacheUpdateTimestamp(), cache->storedIds()};
			return described;
		};
		hooks.answer = [](bool success, const std::string& answer) { AnalyticsAdParser::publishAnswer(success, answer); };
		AnalyticsSessionUploader::setAdHooks(hooks);
	});
}

void AnalyticsAPI::setAdNetworkDelegate(AnalyticsAdDelegate* delegate)
{
	guarded([&] {
		AnalyticsAdParser::instance()->setAdDelegate(delegate);
		change([&](AnalyticsSettings& s) { s.adNetworkDelegate = delegate; });
	});
}

void AnalyticsAPI::closeAdCanvas()
{
	guarded([] {
		if (std::shared_ptr<AnalyticsAdCanvasViewController> canvas = AnalyticsAdCanvasViewController::getOpenCanvasController())
			canvas->cancel();
	});
}

std::shared_ptr<AnalyticsAdView> AnalyticsAPI::getHook(const std::string& hook, int x, int y, const AnalyticsAdParent& parent)
{
	AnalyticsAdPlacement placement;
	placement.hook = hook;
	placement.x = x;
	placement.y = y;
	placement.parent = parent;
	return getHook(placement, true);
}

std::shared_ptr<AnalyticsAdView> AnalyticsAPI::getHook(const AnalyticsAdPlacement& placement, bool canvasAnimated)
{
	std::shared_ptr<AnalyticsAdView> banner;
	guarded([&] {
		if (!adNetworkEnabled())
		{
			AnalyticsAdView::hooks().showAlert(platform::Alert{"", AD_NETWORK_DISABLED, {"Cancel"}, 0}, [](int) {});
			return;
		}
		std::shared_ptr<AnalyticsAdAssignment> assignment = AnalyticsAdAssignment::createInstance();
		banner = assignment->assignedBanner(placement.hook, placement.parent.name);
		if (banner)
			return;
		banner = AnalyticsAdView::create(AnalyticsAdParser::fastAdWithHook(placement.hook, placement.parent.name), placement);
		banner->setAdDelegate(AnalyticsAdParser::instance()->adDelegate());
		banner->setCanvasAnimated(canvasAnimated);
		assignment->assignBanner(banner, placement.hook, placement.parent.name);
	});
	return banner;
}

void AnalyticsAPI::updateHook(AnalyticsAdView& banner)
{
	guarded([&] { banner.refreshWithAd(); });
}

void AnalyticsAPI::removeHook(const AnalyticsAdView& banner)
{
	guarded([&] {
		if (std::shared_ptr<AnalyticsAdAssignment> assignment = AnalyticsAdAssignment::instance())
			assignment->unassignBanner(banner.hook(), banner.parentName());
	});
}

void AnalyticsAPI::openCatalog(const std::string& hook, const std::string& canvasOrientation, bool canvasAnimated)
{
	guarded([&] {
		std::shared_ptr<AnalyticsAd> ad = AnalyticsAdParser::fastAdWithHook(hook, "");
		std::shared_ptr<AnalyticsAdImpression> impression = AnalyticsAdImpression::create(hook, AnalyticsAdImpression::FORMAT_CATALOG);
		if (!ad)
			return;
		impression->updateWithAd(*ad);
		std::shared_ptr<AnalyticsAdCanvasViewController> canvas = AnalyticsAdCanvasViewController::create();
		canvas->setWebUrl(AnalyticsAdView::webUrlForCanvas(true, hook, *ad, impression.get(), canvasOrientation));
		canvas->setAdImpression(impression);
		canvas->setAd(ad);
		canvas->setAdDelegate(AnalyticsAdParser::instance()->adDelegate());
		canvas->setCanvasOrientation(canvasOrientation);
		canvas->setCanvasAnimated(canvasAnimated);
		canvas->createCanvasWindow();
	});
}

bool AnalyticsAPI::getOffer(const std::string& hook, AnalyticsOffer* offer)
{
	return guardedAnswer([&] {
		if (!adNetworkEnabled() || !offer)
			return false;
		std::shared_ptr<AnalyticsAdImpression> impression = AnalyticsAdImpression::create(hook, AnalyticsAdImpression::FORMAT_OFFER);
		return AnalyticsAdParser::fastOfferWithHook(hook, impression.get(), offer);
	});
}

bool AnalyticsAPI::getOffer(const std::string& hook, AnalyticsOffer* offer, const std::map<std::string, std::string>& userCookies)
{
	const bool filled = getOffer(hook, offer);
	if (!filled || userCookies.empty())
		return filled;
	std::string cookies;
	for (const auto& cookie : userCookies)
		cookies += "&c_" + AnalyticsUtil::percentEscape(cookie.first) + "=" + AnalyticsUtil::percentEscape(cookie.second);
	offer->referralUrl += cookies;
	return filled;
}
