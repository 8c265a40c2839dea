#ifndef AGENT_ADS_ANALYTICSAD_H
#define AGENT_ADS_ANALYTICSAD_H

#include <platform/ArchiveValue.h>
#include <cstdint>
#include <string>

// One ad of an ad block; a plain value, copied to each view that shows it.
struct AnalyticsAd
{
	std::int64_t adId = 0;
	std::int64_t projectId = 0;
	std::string adText;
	std::string advertiser;
	std::int64_t canvasId = 0;
	std::int64_t imageId = 0;
	// Opaque bytes that go back to the server with the ad's links.
	std::string adCookie;
	// Encoded image bytes, set by the lookups and never archived; empty when absent.
	std::string adImage;

	std::int64_t adCookieSize() const { return static_cast<std::int64_t>(adCookie.size()); }
	// Two lower-case hexadecimal digits per cookie byte; empty without a cookie.
	std::string adCookieString() const;

	platform::ArchiveValue archive() const;
	static AnalyticsAd unarchive(const platform::ArchiveValue& value);
};

#endif
