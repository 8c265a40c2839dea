#ifndef AGENT_ADS_ANALYTICSADPROPERTIES_H
#define AGENT_ADS_ANALYTICSADPROPERTIES_H

#include <cstdint>
#include <optional>

// The ad answer's class-wide settings: class operations only, held for the process under a lock.
// Each getter gives its default while the answer has not set the value. Values from the server
// are clamped into sound ranges as they are set.
class AnalyticsAdProperties
{
public:
	// Seconds; a banner never refreshes faster than this.
	static constexpr std::int32_t MIN_BANNER_REFRESH_SECONDS = 1;
	static constexpr std::int32_t DEFAULT_BANNER_REFRESH_SECONDS = 20;
	// Rows of the canvas's list.
	static constexpr std::int32_t MAX_ADS_SHOWN = 10;

	AnalyticsAdProperties() = delete;

	static void setBannerRefreshInSeconds(std::int32_t seconds);
	static std::int32_t getBannerRefreshInSeconds();
	static void setCacheUpdateTimestamp(std::int64_t timestamp);
	static std::int64_t getCacheUpdateTimestamp();
	static void setPortraitAdsMaxShown(std::int32_t count);
	static std::int32_t getPortraitAdsMaxShown();
	static void setLandscapeAdsMaxShown(std::int32_t count);
	static std::int32_t getLandscapeAdsMaxShown();
	// Rows of the list open at first; none returns to the default.
	static void setPortraitAdsShownAtStart(std::optional<double> rows);
	static float getPortraitAdsShownAtStart();
	static void setLandscapeAdsShownAtStart(std::optional<double> rows);
	static float getLandscapeAdsShownAtStart();

	// Every value back to its default.
	static void reset();
};

#endif
