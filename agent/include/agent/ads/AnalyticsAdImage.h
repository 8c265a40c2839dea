#ifndef AGENT_ADS_ANALYTICSADIMAGE_H
#define AGENT_ADS_ANALYTICSADIMAGE_H

#include <platform/ArchiveValue.h>
#include <cstdint>
#include <string>

// One image of the ad answer as received: its id, declared size and format, and the encoded
// bytes (nothing decodes them: the ad views draw nothing). A plain value.
struct AnalyticsAdImage
{
	std::int64_t imageId = 0;
	std::int64_t width = 0;
	std::int64_t height = 0;
	std::string mimeFormat;
	std::int64_t imageDataSize = 0;
	std::string fileName;
	std::string image;

	platform::ArchiveValue archive() const;
	static AnalyticsAdImage unarchive(const platform::ArchiveValue& value);
};

#endif
