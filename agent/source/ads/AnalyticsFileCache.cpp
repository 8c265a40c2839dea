#include <agent/ads/AnalyticsFileCache.h>
#include <platform/Directories.h>
#include <platform/KeyedArchive.h>
#include <lang/Debug.h>
#include <filesystem>
#include <mutex>

namespace {

std::mutex s_mutex;
std::shared_ptr<AnalyticsFileCache> s_instance;

std::string directoryPath()
{
	return platform::Directories::caches() + "/Analytics";
}

} // namespace

std::shared_ptr<AnalyticsFileCache> AnalyticsFileCache::createInstanceWithApiKey(const std::string& apiKey)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	if (!s_instance)
		s_instance = std::make_shared<AnalyticsFileCache>(apiKey);
	return s_instance;
}

std::shared_ptr<AnalyticsFileCache> AnalyticsFileCache::instance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_instance;
}

std::string AnalyticsFileCache::createDirectoryPath() const
{
	const std::string path = directoryPath();
	platform::Directories::create(path);
	return path;
}

std::string AnalyticsFileCache::createFilePath(const std::string& prefix) const
{
	return directoryPath() + "/analyticsCache_" + prefix + "_" + m_apiKey + ".archive";
}

std::optional<std::string> AnalyticsFileCache::save(const platform::ArchiveValue& value, const std::string& prefix) const
{
	createDirectoryPath();
	const std::string path = createFilePath(prefix);
	try
	{
		platform::KeyedArchive::writeFile(path, value);
		return path;
	}
	catch (const platform::ArchiveError&)
	{
		return std::nullopt;
	}
}

std::optional<platform::ArchiveValue> AnalyticsFileCache::get(const std::string& prefix) const
{
	const std::string path = createFilePath(prefix);
	std::error_code error;
	if (!std::filesystem::exists(path, error))
		return std::nullopt;
	try
	{
		return platform::KeyedArchive::readFile(path);
	}
	catch (const platform::ArchiveError& failure)
	{
		lang::Debug::printf("Analytics: %s; the cache takes it for missing\n", failure.what());
		return std::nullopt;
	}
}

bool AnalyticsFileCache::remove(const std::string& prefix) const
{
	std::error_code error;
	return std::filesystem::remove(createFilePath(prefix), error);
}

bool AnalyticsFileCache::exists(const std::string& prefix) const
{
	std::error_code error;
	return std::filesystem::exists(createFilePath(prefix), error);
}

bool AnalyticsFileCache::removeCache() const
{
	const std::string path = directoryPath();
	std::error_code error;
	std::filesystem::remove_all(path, error);
	return !error && !std::filesystem::exists(path, error);
}
