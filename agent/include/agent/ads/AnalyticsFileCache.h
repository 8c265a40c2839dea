#ifndef AGENT_ADS_ANALYTICSFILECACHE_H
#define AGENT_ADS_ANALYTICSFILECACHE_H

#include <platform/ArchiveValue.h>
#include <memory>
#include <optional>
#include <string>

// Keeps archive values as files "analyticsCache_<prefix>_<key>.archive" in "Analytics" under the
// caches directory, one file per prefix. One process-wide instance per run, made at session start
// and shared by the caches that use it.
class AnalyticsFileCache
{
public:
	// Makes the instance when there is none; a later key leaves it as it is.
	static std::shared_ptr<AnalyticsFileCache> createInstanceWithApiKey(const std::string& apiKey);
	// Null before creation.
	static std::shared_ptr<AnalyticsFileCache> instance();

	explicit AnalyticsFileCache(const std::string& apiKey) : m_apiKey(apiKey) {}

	const std::string& apiKey() const { return m_apiKey; }
	// Creates the directory when it is missing.
	std::string createDirectoryPath() const;
	std::string createFilePath(const std::string& prefix) const;
	// The file's path, or none when it could not be written.
	std::optional<std::string> save(const platform::ArchiveValue& value, const std::string& prefix) const;
	// None when the file is missing or unreadable; one that is there but cannot be read or
	// decoded is logged with its path and the reason.
	std::optional<platform::ArchiveValue> get(const std::string& prefix) const;
	// True when the file was deleted.
	bool remove(const std::string& prefix) const;
	bool exists(const std::string& prefix) const;
	// Deletes the whole directory; true when it is gone.
	bool removeCache() const;

private:
	const std::string m_apiKey;
};

#endif
