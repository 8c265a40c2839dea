#include <agent/ads/AnalyticsAdProperties.h>
#include <algorithm>
#include <mutex>

namespace {

struct Values
{
	std::optional<std::int32_t> bannerRefreshInSeconds;
	std::optional<std::int64_t> cacheUpdateTimestamp;
	std::optional<std::int32_t> portraitAdsMaxShown, landscapeAdsMaxShown;
	std::optional<float> portraitAdsShownAtStart, landscapeAdsShownAtStart;
};

std::mutex s_mutex;
Values s_values;

template <class T>
void set(std::optional<T> Values::*field, std::optional<T> value)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_values.*field = value;
}

template <class T>
T get(std::optional<T> Values::*field, T fallback)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return (s_values.*field).value_or(fallback);
}

std::int32_t clampCount(std::int32_t count)
{
	return std::min(std::max(count, 0), AnalyticsAdProperties::MAX_ADS_SHOWN);
}

std::optional<float> clampRows(std::optional<double> rows)
{
	if (!rows)
		return std::nullopt;
	return static_cast<float>(std::min(std::max(*rows, 0.0), static_cast<double>(AnalyticsAdProperties::MAX_ADS_SHOWN)));
}

} // namespace

void AnalyticsAdProperties::setBannerRefreshInSeconds(std::int32_t seconds)
{
	// Zero or less would refresh a banner on every turn of the loop.
	set(&Values::bannerRefreshInSeconds, std::optional<std::int32_t>(std::max(seconds, MIN_BANNER_REFRESH_SECONDS)));
}

std::int32_t AnalyticsAdProperties::getBannerRefreshInSeconds()
{
	return get(&Values::bannerRefreshInSeconds, DEFAULT_BANNER_REFRESH_SECONDS);
}

void AnalyticsAdProperties::setCacheUpdateTimestamp(std::int64_t timestamp)
{
	set(&Values::cacheUpdateTimestamp, std::optional<std::int64_t>(timestamp));
}

std::int64_t AnalyticsAdProperties::getCacheUpdateTimestamp()
{
	return get(&Values::cacheUpdateTimestamp, std::int64_t(0));
}

void AnalyticsAdProperties::setPortraitAdsMaxShown(std::int32_t count)
{
	set(&Values::portraitAdsMaxShown, std::optional<std::int32_t>(clampCount(count)));
}

std::int32_t AnalyticsAdProperties::getPortraitAdsMaxShown()
{
	return get(&Values::portraitAdsMaxShown, std::int32_t(5));
}

void AnalyticsAdProperties::setLandscapeAdsMaxShown(std::int32_t count)
{
	set(&Values::landscapeAdsMaxShown, std::optional<std::int32_t>(clampCount(count)));
}

std::int32_t AnalyticsAdProperties::getLandscapeAdsMaxShown()
{
	return get(&Values::landscapeAdsMaxShown, std::int32_t(3));
}

void AnalyticsAdProperties::setPortraitAdsShownAtStart(std::optional<double> rows)
{
	set(&Values::portraitAdsShownAtStart, clampRows(rows));
}

float AnalyticsAdProperties::getPortraitAdsShownAtStart()
{
	return get(&Values::portraitAdsShownAtStart, 2.5f);
}

void AnalyticsAdProperties::setLandscapeAdsShownAtStart(std::optional<double> rows)
{
	set(&Values::landscapeAdsShownAtStart, clampRows(rows));
}

float AnalyticsAdProperties::getLandscapeAdsShownAtStart()
{
	return get(&Values::landscapeAdsShownAtStart, 0.75f);
}

void AnalyticsAdProperties::reset()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_values = Values();
}
