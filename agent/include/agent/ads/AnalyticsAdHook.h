#ifndef AGENT_ADS_ANALYTICSADHOOK_H
#define AGENT_ADS_ANALYTICSADHOOK_H

#include <agent/ads/AnalyticsAdTheme.h>
#include <cstdint>
#include <memory>
#include <string>

// A named placement of the ad answer: which ad block fills it, its theme and what a tap does. A
// plain value; the parser hands out copies with the theme filled in.
struct AnalyticsAdHook
{
	std::string name;
	std::int64_t adBlockId = 0;
	std::int64_t themeId = 0;
	// 0 until a hook property sets it; 0 means the default action.
	std::int64_t clickAction = 0;
	std::shared_ptr<AnalyticsAdTheme> adTheme;

	platform::ArchiveValue archive() const;
	static AnalyticsAdHook unarchive(const platform::ArchiveValue& value);
};

#endif
