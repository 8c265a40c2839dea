#ifndef AGENT_ADS_ANALYTICSIMAGECACHE_H
#define AGENT_ADS_ANALYTICSIMAGECACHE_H

#include <agent/ads/AnalyticsAdImage.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Up to MAX_IMAGE_CACHED ad images kept in the file cache, the least recently used evicted first.
// One process-wide instance, archived beside its images; the upload's thread writes it while the
// views read it on the main thread, so its index is guarded by its own lock.
class AnalyticsImageCache
{
public:
	static constexpr int MAX_IMAGE_CACHED = 40;
	static constexpr const char* ARCHIVE_PREFIX = "imageCache";

	// Reads the archived instance when there is none; without one the whole cache directory is
	// cleared and an empty instance made.
	static std::shared_ptr<AnalyticsImageCache> createInstanceWithFileCache(std::shared_ptr<AnalyticsFileCache> fileCache);
	static std::shared_ptr<AnalyticsImageCache> recreateInstanceWithFileCache(std::shared_ptr<AnalyticsFileCache> fileCache);
	// Null before creation.
	static std::shared_ptr<AnalyticsImageCache> instance();

	explicit AnalyticsImageCache(std::shared_ptr<AnalyticsFileCache> fileCache);

	// Stores the image and makes it the most recently used, evicting the least recently used
	// when the cache is full.
	void save(const AnalyticsAdImage& image, std::int64_t imageId);
	// Makes the id the most recently used; an id whose file is gone is forgotten.
	std::optional<AnalyticsAdImage> get(std::int64_t imageId);
	// True when the file was deleted.
	bool remove(std::int64_t imageId);
	// Ids that are not cached are ignored.
	void setAsMostRecentlyUsed(std::int64_t imageId);
	// Least recently used first.
	std::vector<std::int64_t> storedIds() const;
	static std::string imageIdToFileName(std::int64_t imageId);

	std::int64_t cacheUpdateTimestamp() const;
	void setCacheUpdateTimestamp(std::int64_t timestamp);

	platform::ArchiveValue archive() const;
	// Throws platform::ArchiveError for a record of another shape.
	static std::shared_ptr<AnalyticsImageCache> unarchive(const platform::ArchiveValue& value, std::shared_ptr<AnalyticsFileCache> fileCache);

private:
	// With the lock held.
	bool removeLocked(std::int64_t imageId);
	void forgetLocked(std::int64_t imageId);
	void touchLocked(std::int64_t imageId);

	std::shared_ptr<AnalyticsFileCache> m_fileCache;
	mutable std::mutex m_mutex;
	std::map<std::int64_t, std::string> m_index;
	// Least recently used first; holds the ids of m_index.
	std::vector<std::int64_t> m_lru;
	std::int64_t m_cacheUpdateTimestamp = 0;
};

#endif
