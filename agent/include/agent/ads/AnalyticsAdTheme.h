#ifndef AGENT_ADS_ANALYTICSADTHEME_H
#define AGENT_ADS_ANALYTICSADTHEME_H

#include <platform/ArchiveValue.h>
#include <cstdint>
#include <string>

// A colour with components from 0 to 1; a plain value.
struct AnalyticsAdColor
{
	float red = 0, green = 0, blue = 0, alpha = 0;
};

// A point of a theme's layout in points; a plain value.
struct AnalyticsAdLocation
{
	std::int64_t x = 0, y = 0;
};

// A size of a theme's layout in points; a plain value.
struct AnalyticsAdDimension
{
	std::int64_t width = 0, height = 0;
};

// How one text of an ad is set: font, size in points, colour and its frame; a plain value.
struct AnalyticsAdTextStyle
{
	AnalyticsAdColor fontColor;
	std::int64_t fontSize = 0;
	std::string font;
	AnalyticsAdLocation location;
	AnalyticsAdDimension dimension;
};

// The layout that the ad answer assigns to a hook: texts, geometry and background images for
// portrait and landscape; a plain value, copied into each hook handed out.
struct AnalyticsAdTheme
{
	std::int64_t themeId = 0;
	std::string sellMessage;
	std::int64_t portraitAdImageId = 0;
	std::int64_t landscapeAdImageId = 0;
	AnalyticsAdTextStyle portraitAppNameTextStyle, portraitSellMessageTextStyle, portraitAdvertiserTextStyle;
	AnalyticsAdTextStyle landscapeAppNameTextStyle, landscapeSellMessageTextStyle, landscapeAdvertiserTextStyle;
	AnalyticsAdDimension portraitAdDimension, portraitAppImageDimension;
	AnalyticsAdLocation portraitAppImageLocation;
	AnalyticsAdDimension landscapeAdDimension, landscapeAppImageDimension;
	AnalyticsAdLocation landscapeAppImageLocation;
	// Encoded image bytes, set by the lookups and never archived; empty when absent.
	std::string portraitAdImage, landscapeAdImage;

	platform::ArchiveValue archive() const;
	// Throws platform::ArchiveError for a record of another shape or a colour component outside 0
	// to 1.
	static AnalyticsAdTheme unarchive(const platform::ArchiveValue& value);
};

#endif
