#include <agent/ads/AnalyticsAd.h>

using platform::ArchiveValue;

std::string AnalyticsAd::adCookieString() const
{
	static const char digits[] = "0123456789abcdef";
	std::string text;
	for (unsigned char byte : adCookie)
	{
		text += digits[byte >> 4];
		text += digits[byte & 0xF];
	}
	return text;
}

ArchiveValue AnalyticsAd::archive() const
{
	ArchiveValue value = ArchiveValue::record("AnalyticsAd");
	value.set("adId", ArchiveValue::integer(adId));
	value.set("projectId", ArchiveValue::integer(projectId));
	value.set("adText", ArchiveValue::string(adText));
	value.set("advertiser", ArchiveValue::string(advertiser));
	value.set("canvasId", ArchiveValue::integer(canvasId));
	value.set("imageId", ArchiveValue::integer(imageId));
	value.set("adCookieSize", ArchiveValue::integer(adCookieSize()));
	value.set("adCookie", ArchiveValue::bytes(adCookie));
	return value;
}

AnalyticsAd AnalyticsAd::unarchive(const ArchiveValue& value)
{
	AnalyticsAd ad;
	ad.adId = value.get("adId").asInt();
	ad.projectId = value.get("projectId").asInt();
	ad.adText = value.get("adText").asString();
	ad.advertiser = value.get("advertiser").asString();
	ad.canvasId = value.get("canvasId").asInt();
	ad.imageId = value.get("imageId").asInt();
	ad.adCookie = value.get("adCookie").asBytes();
	return ad;
}
