#include "AgentTestSupport.h"
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <platform/KeyedArchive.h>
#include <support/FullDisk.h>
#include <filesystem>
#include <functional>

namespace {

using platform::ArchiveValue;

// Every file below the directory, with its contents.
std::map<std::string, std::string> filesUnder(const std::string& directory)
{
	std::map<std::string, std::string> files;
	for (const auto& entry : std::filesystem::recursive_directory_iterator(directory))
		if (entry.is_regular_file() && entry.path().filename() != ".filler")
			files[entry.path().string()] = testsupport::FullDisk::contents(entry.path().string());
	return files;
}

// The agent's library and caches directories on a disk that the test fills.
class StoreFullDiskTest : public AgentSessionTest
{
protected:
	void SetUp() override
	{
		AgentSessionTest::SetUp();
		platform::Directories::setLibrary(m_disk.path());
		platform::Directories::setCaches(m_disk.path());
		AnalyticsSessionStore::setApiKey("KEY");
	}

	testsupport::FullDisk m_disk;
};

// One of the agent's files: where it is, and a save of its generation n that answers whether the
// agent's caller was told of no failure.
struct AgentFile
{
	const char* what;
	std::function<std::string()> path;
	std::function<bool(int n)> save;
};

bool savedWithoutArchiveError(const std::function<void()>& save)
{
	try
	{
		save();
		return true;
	}
	catch (const platform::ArchiveError&)
	{
		return false;
	}
}

TEST_F(StoreFullDiskTest, EveryFileOfTheAgentStaysWholeAndTheFailureIsLogged)
{
	const AnalyticsFileCache cache("KEY");
	const AgentFile files[] = {
		{"stored sessions", AnalyticsSessionStore::sessionsFilePath,
			[](int n) {
				return savedWithoutArchiveError([&] {
					AnalyticsSessionStore::addToSavedSessions(AnalyticsSession("KEY", std::to_string(n)).data());
				});
			}},
		{"current session", AnalyticsSessionStore::currentSessionFilePath,
			[](int n) {
				return savedWithoutArchiveError([&] { AnalyticsSessionStore::writeCurrentSession(AnalyticsSession("KEY", std::to_string(n)).archive()); });
			}},
		{"ad file cache", [&] { return cache.createFilePath("adParser"); },
			[&](int n) { return cache.save(ArchiveValue::integer(n), "adParser").has_value(); }},
	};
	for (const AgentFile& file : files)
	{
		ASSERT_TRUE(file.save(1)) << file.what;
		const std::map<std::string, std::string> before = filesUnder(m_disk.path());
		m_disk.fill();
		EXPECT_FALSE(file.save(2)) << file.what;
		const std::string log = m_disk.drain();
		EXPECT_NE(std::string::npos, log.find("Can't save: Failed to close " + file.path() + ": " + m_disk.reason() + "\n"))
			<< file.what << log;
		EXPECT_EQ(before, filesUnder(m_disk.path())) << file.what;
		EXPECT_TRUE(file.save(3)) << file.what;
	}
}

TEST_F(AgentSessionTest, TheAdFileCacheMakesItsDirectoryOnlyToSave)
{
	const AnalyticsFileCache cache("KEY");
	const std::string directory = platform::Directories::caches() + "/Analytics";
	EXPECT_FALSE(cache.get("adParser"));
	EXPECT_FALSE(cache.exists("adParser"));
	EXPECT_FALSE(cache.remove("adParser"));
	EXPECT_EQ(directory + "/analyticsCache_adParser_KEY.archive", cache.createFilePath("adParser"));
	EXPECT_FALSE(std::filesystem::exists(directory));
	EXPECT_EQ(cache.createFilePath("adParser"), cache.save(ArchiveValue::integer(1), "adParser"));
	EXPECT_TRUE(cache.exists("adParser"));
}

TEST_F(StoreFullDiskTest, ASessionStartedWhileTheCrashedOneCannotBeStoredRunsAndStoresItLater)
{
	AnalyticsAPI::setAppVersion("crashed");
	AnalyticsSession::createActiveAnalyticsSession("KEY")->recordEvent("before the crash", {}, false);
	AnalyticsAPI::resetSettings();
	AnalyticsAPI::setAppVersion("next");
	m_disk.fill();
	std::shared_ptr<AnalyticsSession> next;
	EXPECT_NO_THROW(next = AnalyticsSession::createActiveAnalyticsSession("KEY"));
	m_disk.drain();
	ASSERT_TRUE(next);
	EXPECT_EQ(next, AnalyticsSession::currentSession());
	EXPECT_TRUE(AnalyticsSessionStore::savedSessions().empty());

	next->recordEvent("once there is room", {}, false);
	ASSERT_EQ(1u, AnalyticsSessionStore::savedSessions().size());
	const std::optional<AnalyticsSessionStore::CurrentSession> files = AnalyticsSessionStore::readCurrentSession();
	ASSERT_TRUE(files);
	EXPECT_EQ("next", AnalyticsSession::unarchive(files->record, files->changes)->appVersion());
}

} // namespace
