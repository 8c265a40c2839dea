#include "AdTestSupport.h"
#include <platform/KeyedArchive.h>
#include <lang/Debug.h>
#include <cstdio>
#include <fstream>
#include <limits>

namespace {

using AdCacheTest = AdTest;

AnalyticsAdImage picture(std::int64_t id)
{
	AnalyticsAdImage image;
	image.imageId = id;
	image.image = "bytes" + std::to_string(id);
	return image;
}

void fill(AnalyticsImageCache& cache, std::int64_t first, std::int64_t last)
{
	for (std::int64_t id = first; id <= last; ++id)
		cache.save(picture(id), id);
}

TEST_F(AdCacheTest, FortyFirstImageEvictsTheLeastRecentlyUsed)
{
	AnalyticsImageCache& cache = *AnalyticsImageCache::instance();
	fill(cache, 1, 40);
	ASSERT_TRUE(cache.get(1));
	cache.save(picture(2), 2);
	EXPECT_EQ(cache.storedIds().size(), 40u);
	fill(cache, 41, 41);
	const std::vector<std::int64_t> ids = cache.storedIds();
	EXPECT_EQ(ids.size(), 40u);
	EXPECT_EQ(ids.front(), 4);
	EXPECT_FALSE(AnalyticsFileCache::instance()->exists(AnalyticsImageCache::imageIdToFileName(3)));
	EXPECT_EQ(cache.get(2)->image, "bytes2");
}

TEST_F(AdCacheTest, UnknownIdsAreNotTouchedAndVanishedFilesStillEvict)
{
	AnalyticsImageCache& cache = *AnalyticsImageCache::instance();
	fill(cache, 1, 40);
	cache.setAsMostRecentlyUsed(999);
	std::remove(AnalyticsFileCache::instance()->createFilePath(AnalyticsImageCache::imageIdToFileName(1)).c_str());
	fill(cache, 41, 60);
	EXPECT_EQ(cache.storedIds().size(), 40u);
	EXPECT_EQ(cache.storedIds().front(), 21);

	std::remove(AnalyticsFileCache::instance()->createFilePath(AnalyticsImageCache::imageIdToFileName(30)).c_str());
	EXPECT_FALSE(cache.get(30));
	EXPECT_EQ(cache.storedIds().size(), 39u);
}

TEST_F(AdCacheTest, ImageCacheComesBackFromItsArchiveOrClearsTheDirectory)
{
	publish(AdAnswerWriter().images({{5}}).end());
	std::shared_ptr<AnalyticsFileCache> files = AnalyticsFileCache::instance();
	EXPECT_EQ(AnalyticsImageCache::recreateInstanceWithFileCache(files)->storedIds(), std::vector<std::int64_t>{5});
	files->remove("imageCache");
	EXPECT_TRUE(AnalyticsImageCache::recreateInstanceWithFileCache(files)->storedIds().empty());
	EXPECT_FALSE(files->exists("adParser"));
	EXPECT_FALSE(AnalyticsAdParser::recreateOldInstance());

	// A damaged index clears the directory too, and the log names the file and the reason.
	publish(AdAnswerWriter().images({{6}}).end());
	const std::string index = files->createFilePath("imageCache");
	std::ofstream(index, std::ios::binary | std::ios::trunc) << "KARC";
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	EXPECT_TRUE(AnalyticsImageCache::recreateInstanceWithFileCache(files)->storedIds().empty());
	const std::string log = testing::internal::GetCapturedStderr();
	lang::Debug::setEnabled(false);
	EXPECT_NE(std::string::npos, log.find("Analytics: Cannot decode " + index + ": Archive ends early; the cache takes it for missing\n")) << log;
	EXPECT_FALSE(files->exists(AnalyticsImageCache::imageIdToFileName(6)));
}

// The archive with one member replaced, found by a path of keys and, in arrays, indexes.
platform::ArchiveValue replaced(const platform::ArchiveValue& archive, const std::vector<std::string>& path, const platform::ArchiveValue& value)
{
	if (path.empty())
		return value;
	const std::vector<std::string> rest(path.begin() + 1, path.end());
	if (archive.kind() != platform::ArchiveValue::Kind::Array)
	{
		platform::ArchiveValue changed = archive;
		changed.set(path.front(), replaced(archive.get(path.front()), rest, value));
		return changed;
	}
	platform::ArchiveValue changed = platform::ArchiveValue::array();
	for (size_t i = 0; i < archive.items().size(); ++i)
		changed.append(std::to_string(i) == path.front() ? replaced(archive.items()[i], rest, value) : archive.items()[i]);
	return changed;
}

TEST_F(AdCacheTest, ColoursAndTimesReadFromFilesAreRangeCheckedLikeTheAnswers)
{
	const double nan = std::numeric_limits<double>::quiet_NaN(), infinity = std::numeric_limits<double>::infinity();
	publish(AdAnswerWriter().banner({{1, 11}}).end());
	std::shared_ptr<AnalyticsFileCache> files = AnalyticsFileCache::instance();
	const platform::ArchiveValue parser = *files->get(AnalyticsAdParser::ARCHIVE_PREFIX);
	for (const auto& [green, read] : std::vector<std::pair<double, bool>>{
			 {0.0, true}, {1.0, true}, {-0.001, false}, {1.5, false}, {1e300, false}, {nan, false}})
	{
		files->save(replaced(parser, {"themeMap", "1", "landscapeAdvertiserTextStyle", "fontColor", "green"}, platform::ArchiveValue::real(green)),
			AnalyticsAdParser::ARCHIVE_PREFIX);
		EXPECT_EQ(read, AnalyticsAdParser::recreateOldInstance() != nullptr) << green;
	}

	const platform::ArchiveValue impression = AnalyticsAdImpression::create("h", AnalyticsAdImpression::FORMAT_BANNER)->archive();
	for (const auto& [millis, read] : std::vector<std::pair<double, bool>>{
			 {-5000.0, true}, {9.2e18, true}, {nan, false}, {infinity, false}, {9.3e18, false}, {-9.3e18, false}})
	{
		const platform::ArchiveValue time = platform::ArchiveValue::real(millis);
		for (const std::vector<std::string>& path : {std::vector<std::string>{"timeIntervalSinceSessionStart"},
				 std::vector<std::string>{"adStates", "0", "timeIntervalSinceSessionStart"}})
		{
			if (!read)
				EXPECT_THROW(AnalyticsAdImpression::unarchive(replaced(impression, path, time)), platform::ArchiveError) << millis;
			else
				EXPECT_NO_THROW(AnalyticsAdImpression::unarchive(replaced(impression, path, time))) << millis;
		}
	}
}

TEST_F(AdCacheTest, AssignmentKeepsEachParentsAdsApart)
{
	AnalyticsAdAssignment assignment;
	std::shared_ptr<AnalyticsAd> ad = std::make_shared<AnalyticsAd>();
	ad->adId = 4;
	EXPECT_EQ(assignment.assignAd(ad, "p"), ad);
	EXPECT_FALSE(assignment.assignAd(ad, "p"));
	EXPECT_EQ(assignment.assignAd(ad, "q"), ad);
	EXPECT_EQ(assignment.assignAd(ad, ""), ad);
	EXPECT_EQ(assignment.assignAd(ad, ""), ad);
	assignment.removeAdsOnParentName("p");
	EXPECT_EQ(assignment.assignAd(ad, "p"), ad);
	assignment.removeAd(ad.get(), "q");
	EXPECT_EQ(assignment.assignAd(ad, "q"), ad);
}

TEST_F(AdCacheTest, RecordsAndImpressions)
{
	AnalyticsAd ad;
	EXPECT_EQ(ad.adCookieString(), "");
	ad.adCookie = std::string("\x0A\xFF\x00", 3);
	EXPECT_EQ(ad.adCookieString(), "0aff00");
	EXPECT_EQ(AnalyticsAdState::translateAdStateFromOldToNew(7), 0);

	std::shared_ptr<AnalyticsAdImpression> impression = AnalyticsAdImpression::create("h", AnalyticsAdImpression::FORMAT_BANNER);
	EXPECT_EQ(impression->currentState(), 1);
	EXPECT_EQ(impression->timeIntervalSinceSessionStart(), 5000);
	impression->updateWithAd(ad);
	EXPECT_EQ(impression->currentState(), 2);
	EXPECT_EQ(impression->adCookie(), ad.adCookie);
	// Each change replaces the impression's block in the session's log.
	ASSERT_EQ(session->adLog().size(), 1u);
	EXPECT_EQ(session->adLog().front().block, impression->data());
	EXPECT_EQ(AnalyticsAdImpression::unarchive(impression->archive())->adStates().size(), 2u);

	// Archives of the older layout carry a result and no states.
	struct Case
	{
		std::optional<std::int64_t> result;
		std::vector<std::int32_t> states;
	};
	const Case cases[] = {{2, {1, 4}}, {std::nullopt, {1}}};
	for (const Case& c : cases)
	{
		platform::ArchiveValue old = impression->archive();
		old.set("adStates", platform::ArchiveValue::array());
		if (c.result)
			old.set("adResult", platform::ArchiveValue::integer(*c.result));
		else
			old = [&] {
				platform::ArchiveValue trimmed = platform::ArchiveValue::record("AnalyticsAdImpression");
				for (const std::string& key : old.keys())
					if (key != "adResult" && key != "adStates")
						trimmed.set(key, old.get(key));
				return trimmed;
			}();
		std::vector<std::int32_t> states;
		for (const AnalyticsAdState& state : AnalyticsAdImpression::unarchive(old)->adStates())
		{
			states.push_back(state.state);
			EXPECT_EQ(state.timeIntervalSinceSessionStart, 5000);
		}
		EXPECT_EQ(states, c.states);
	}
}

} // namespace
