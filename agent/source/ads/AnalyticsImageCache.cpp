#include <agent/ads/AnalyticsImageCache.h>
#include <algorithm>

using platform::ArchiveValue;

namespace {

std::mutex s_mutex;
std::shared_ptr<AnalyticsImageCache> s_instance;

} // namespace

std::shared_ptr<AnalyticsImageCache> AnalyticsImageCache::createInstanceWithFileCache(std::shared_ptr<AnalyticsFileCache> fileCache)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	if (s_instance || !fileCache)
		return s_instance;
	if (std::optional<ArchiveValue> archived = fileCache->get(ARCHIVE_PREFIX))
	{
		try
		{
			s_instance = unarchive(*archived, fileCache);
		}
		catch (const platform::ArchiveError&)
		{
		}
	}
	if (!s_instance)
	{
		// Without its index the cached files are strays: start from an empty directory.
		fileCache->removeCache();
		s_instance = std::make_shared<AnalyticsImageCache>(fileCache);
	}
	return s_instance;
}

std::shared_ptr<AnalyticsImageCache> AnalyticsImageCache::recreateInstanceWithFileCache(std::shared_ptr<AnalyticsFileCache> fileCache)
{
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		s_instance.reset();
	}
	return createInstanceWithFileCache(std::move(fileCache));
}

std::shared_ptr<AnalyticsImageCache> AnalyticsImageCache::instance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_instance;
}

AnalyticsImageCache::AnalyticsImageCache(std::shared_ptr<AnalyticsFileCache> fileCache) :
	m_fileCache(std::move(fileCache))
{
}

void AnalyticsImageCache::save(const AnalyticsAdImage& image, std::int64_t imageId)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	if (!m_index.count(imageId))
		while (static_cast<int>(m_index.size()) >= MAX_IMAGE_CACHED)
		{
			const std::int64_t oldest = m_lru.front();
			// An entry whose file cannot be deleted is forgotten anyway: the bound holds.
			if (!removeLocked(oldest))
				forgetLocked(oldest);
		}
	const std::string prefix = imageIdToFileName(imageId);
	if (!m_fileCache->save(image.archive(), prefix))
		return;
	m_index[imageId] = prefix;
	touchLocked(imageId);
}

std::optional<AnalyticsAdImage> AnalyticsImageCache::get(std::int64_t imageId)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	auto entry = m_index.find(imageId);
	if (entry == m_index.end())
		return std::nullopt;
	touchLocked(imageId);
	if (std::optional<ArchiveValue> archived = m_fileCache->get(entry->second))
	{
		try
		{
			return AnalyticsAdImage::unarchive(*archived);
		}
		catch (const platform::ArchiveError&)
		{
		}
	}
	forgetLocked(imageId);
	return std::nullopt;
}

bool AnalyticsImageCache::remove(std::int64_t imageId)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return removeLocked(imageId);
}

bool AnalyticsImageCache::removeLocked(std::int64_t imageId)
{
	auto entry = m_index.find(imageId);
	if (entry == m_index.end())
		return false;
	const bool removed = m_fileCache->remove(entry->second);
	// A file that is already gone leaves nothing to keep the entry for.
	if (removed || !m_fileCache->exists(entry->second))
		forgetLocked(imageId);
	return removed;
}

void AnalyticsImageCache::forgetLocked(std::int64_t imageId)
{
	m_index.erase(imageId);
	m_lru.erase(std::remove(m_lru.begin(), m_lru.end(), imageId), m_lru.end());
}

void AnalyticsImageCache::setAsMostRecentlyUsed(std::int64_t imageId)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	if (m_index.count(imageId))
		touchLocked(imageId);
}

void AnalyticsImageCache::touchLocked(std::int64_t imageId)
{
	m_lru.erase(std::remove(m_lru.begin(), m_lru.end(), imageId), m_lru.end());
	m_lru.push_back(imageId);
}

std::vector<std::int64_t> AnalyticsImageCache::storedIds() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_lru;
}

std::string AnalyticsImageCache::imageIdToFileName(std::int64_t imageId)
{
	return "analyticsImage" + std::to_string(imageId);
}

std::int64_t AnalyticsImageCache::cacheUpdateTimestamp() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_cacheUpdateTimestamp;
}

void AnalyticsImageCache::setCacheUpdateTimestamp(std::int64_t timestamp)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_cacheUpdateTimestamp = timestamp;
}

ArchiveValue AnalyticsImageCache::archive() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	ArchiveValue value = ArchiveValue::record("AnalyticsImageCache");
	ArchiveValue index = ArchiveValue::dictionary();
	for (const auto& entry : m_index)
		index.set(std::to_string(entry.first), ArchiveValue::string(entry.second));
	ArchiveValue lru = ArchiveValue::array();
	for (std::int64_t id : m_lru)
		lru.append(ArchiveValue::integer(id));
	value.set("index", index);
	value.set("maxImageCached", ArchiveValue::integer(MAX_IMAGE_CACHED));
	value.set("lru", lru);
	value.set("cacheUpdateTimestamp", ArchiveValue::integer(m_cacheUpdateTimestamp));
	return value;
}

std::shared_ptr<AnalyticsImageCache> AnalyticsImageCache::unarchive(const ArchiveValue& value, std::shared_ptr<AnalyticsFileCache> fileCache)
{
	std::shared_ptr<AnalyticsImageCache> cache = std::make_shared<AnalyticsImageCache>(std::move(fileCache));
	const ArchiveValue& index = value.get("index");
	for (const std::string& key : index.keys())
	{
		try
		{
			cache->m_index[std::stoll(key)] = index.get(key).asString();
		}
		catch (const std::logic_error&)
		{
			throw platform::ArchiveError("image cache index key is no id");
		}
	}
	// The recency list is rebuilt to hold exactly the indexed ids, whatever the file said.
	for (const ArchiveValue& id : value.get("lru").items())
		if (cache->m_index.count(id.asInt()))
			cache->touchLocked(id.asInt());
	for (const auto& entry : cache->m_index)
		if (std::find(cache->m_lru.begin(), cache->m_lru.end(), entry.first) == cache->m_lru.end())
			cache->m_lru.insert(cache->m_lru.begin(), entry.first);
	cache->m_cacheUpdateTimestamp = value.get("cacheUpdateTimestamp").asInt();
	return cache;
}
