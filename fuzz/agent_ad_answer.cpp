// Publishes arbitrary bytes as the server's ad answer, then runs the views' lookups on what was
// published and takes the parser's archive through a round trip.
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsOffer.h>
#include <platform/KeyedArchive.h>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string answer(reinterpret_cast<const char*>(data), size);
	if (!AnalyticsAdParser::publishAnswer(true, answer))
		return 0;
	// Each input is a session of its own: no assignments pile up across inputs.
	AnalyticsAdAssignment::recreateInstance();
	for (const char* hook : {"banner", "Analytics_Canvas_Hook_1", ""})
	{
		AnalyticsAdParser::fastHookWithName(hook);
		AnalyticsAdParser::fastAdWithHook(hook, "parent");
		AnalyticsOffer offer;
		AnalyticsAdParser::fastOfferWithHook(hook, nullptr, &offer);
	}
	AnalyticsAdParser::fastImageWithCode(1);
	const platform::ArchiveValue archived = AnalyticsAdParser::instance()->archive();
	AnalyticsAdParser::unarchive(platform::KeyedArchive::decode(platform::KeyedArchive::encode(archived)));
	return 0;
}
