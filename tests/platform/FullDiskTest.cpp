#include <platform/GameServiceStore.h>
#include <platform/KeyedArchive.h>
#include <platform/UserDefaults.h>
#include <support/FullDisk.h>
#include <gtest/gtest.h>
#include <functional>

using namespace platform;

namespace {

// A store that saves a file, in its own words.
struct Writer
{
	const char* file;
	// Saves the store's generation n of its file; false when the store told its caller of a failure.
	// Checks what it was told against the reason the disk gives.
	std::function<bool(const std::string& path, int n, const std::string& reason)> save;
	// Whether the store's caller hears of a failure; the user defaults only log it.
	bool tells;
};

std::string logged(const testsupport::FullDisk& disk, const std::string& path)
{
	return "Can't save: Failed to close " + path + ": " + disk.reason() + "\n";
}

TEST(FullDisk, EveryStoreKeepsItsOldFileByteForByteLogsWhyAndSavesAgainLater)
{
	const Writer writers[] = {
		{"user-defaults.txt",
			[](const std::string& path, int n, const std::string&) {
				UserDefaults(path).setInteger("generation", n);
				return true;
			},
			false},
		{"game-service.txt",
			[](const std::string& path, int n, const std::string&) {
				return GameServiceStore(path).reportScore({"board", "L:1", "Ann", n, 0});
			},
			true},
		{"stored.archive",
			[](const std::string& path, int n, const std::string& reason) {
				try
				{
					KeyedArchive::writeFile(path, ArchiveValue::integer(n));
					return true;
				}
				catch (const ArchiveError& e)
				{
					EXPECT_STREQ(("Failed to close " + path + ": " + reason).c_str(), e.what());
					return false;
				}
			},
			true},
	};
	for (const Writer& writer : writers)
	{
		testsupport::FullDisk disk;
		const std::string path = disk.file(writer.file);
		ASSERT_TRUE(writer.save(path, 1, disk.reason())) << writer.file;
		const std::string old = disk.contents(path);
		disk.fill();
		EXPECT_EQ(!writer.tells, writer.save(path, 2, disk.reason())) << writer.file;
		EXPECT_NE(std::string::npos, disk.drain().find(logged(disk, path))) << writer.file;
		EXPECT_EQ(old, disk.contents(path)) << writer.file;
		EXPECT_EQ(std::vector<std::string>{writer.file}, disk.entries()) << writer.file;
		EXPECT_TRUE(writer.save(path, 3, disk.reason())) << writer.file;
		EXPECT_NE(old, disk.contents(path)) << writer.file;
	}
}

TEST(FullDisk, TheNextWriteCarriesWhatAFailedOneLacked)
{
	testsupport::FullDisk disk;
	const std::string defaultsPath = disk.file("user-defaults.txt");
	const std::string scoresPath = disk.file("game-service.txt");
	UserDefaults defaults(defaultsPath);
	GameServiceStore scores(scoresPath);
	disk.fill();
	defaults.setString("lost for now", "1");
	EXPECT_FALSE(scores.reportScore({"board", "L:1", "Ann", 10, 0}));
	disk.drain();
	defaults.setString("later", "2");
	EXPECT_TRUE(scores.reportScore({"board", "L:1", "Ann", 10, 0})) << "an unchanged score is written again";
	EXPECT_EQ("1", UserDefaults(defaultsPath).getString("lost for now"));
	EXPECT_EQ(10, GameServiceStore(scoresPath).leaderboard("board").at(0).value);
}

} // namespace
