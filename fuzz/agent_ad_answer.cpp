// Publishes arbitrary bytes as the server's ad answer to a parser with its file and image caches,
// so that images are cached and evicted and the end of a message saves both archives; then runs
// the views' lookups on what was published and requires the parser's and the image cache's
// archives to come back unchanged from their encoded form.
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <agent/ads/AnalyticsImageCache.h>
#include <agent/ads/AnalyticsOffer.h>
#include <platform/Directories.h>
#include <platform/KeyedArchive.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string s_caches;

void removeCaches()
{
	std::error_code error;
	std::filesystem::remove_all(s_caches, error);
}

platform::ArchiveValue throughBytes(const platform::ArchiveValue& value)
{
	return platform::KeyedArchive::decode(platform::KeyedArchive::encode(value));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
	// The cache files go to a directory of the harness's own, removed at exit.
	std::string directory = std::filesystem::temp_directory_path().string() + "/fuzz_agent_ad_answerXXXXXX";
	if (!mkdtemp(&directory[0]))
		std::abort();
	s_caches = directory;
	platform::Directories::setCaches(s_caches);
	std::atexit(removeCaches);
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string answer(reinterpret_cast<const char*>(data), size);
	// Each input starts from empty caches and is a session of its own: nothing piles up across inputs.
	std::shared_ptr<AnalyticsFileCache> files = AnalyticsFileCache::createInstanceWithApiKey("fuzz");
	files->removeCache();
	std::shared_ptr<AnalyticsImageCache> images = AnalyticsImageCache::recreateInstanceWithFileCache(files);
	AnalyticsAdAssignment::recreateInstance();
	if (!AnalyticsAdParser::publishAnswer(true, answer))
		return 0;
	for (const char* hook : {"banner", "Analytics_Canvas_Hook_1", ""})
	{
		AnalyticsAdParser::fastHookWithName(hook);
		AnalyticsAdParser::fastAdWithHook(hook, "parent");
		AnalyticsOffer offer;
		AnalyticsAdParser::fastOfferWithHook(hook, nullptr, &offer);
	}
	AnalyticsAdParser::fastImageWithCode(1);
	if (images->storedIds().size() > AnalyticsImageCache::MAX_IMAGE_CACHED)
		std::abort();

	const platform::ArchiveValue parser = AnalyticsAdParser::instance()->archive();
	if (AnalyticsAdParser::unarchive(throughBytes(parser))->archive() != parser)
		std::abort();
	const platform::ArchiveValue cache = images->archive();
	if (AnalyticsImageCache::unarchive(throughBytes(cache), files)->archive() != cache)
		std::abort();
	return 0;
}
