#include <platform/Directories.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using platform::Directories;

namespace
{

bool isDirectory(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

TEST(Directories, UserDirectoriesFollowTheirBaseOrOverrideAndAreCreated)
{
	const testsupport::TemporaryDirectory directory;
	const std::string root = directory.path();
	setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
	setenv("XDG_STATE_HOME", (root + "/state").c_str(), 1);
	setenv("XDG_CACHE_HOME", "relative/is/ignored", 1);
	setenv("HOME", (root + "/home").c_str(), 1);
	Directories::setProgram("/opt/games/tilt");
	struct Case
	{
		std::string (*get)();
		void (*set)(const std::string&);
		std::string byDefault;
	};
	const Case cases[] = {
		{Directories::documents, Directories::setDocuments, root + "/data/tilt"},
		{Directories::library, Directories::setLibrary, root + "/state/tilt"},
		{Directories::caches, Directories::setCaches, root + "/home/.cache/tilt"},
	};
	for (const Case& c : cases)
	{
		EXPECT_EQ(c.byDefault, c.get());
		EXPECT_TRUE(isDirectory(c.byDefault)) << c.byDefault;
		c.set(root + "/own/dir//");
		EXPECT_EQ(root + "/own/dir", c.get());
		EXPECT_TRUE(isDirectory(root + "/own/dir"));
		c.set("");
		EXPECT_EQ(c.byDefault, c.get());
	}
}
