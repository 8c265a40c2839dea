#include "IoTestSupport.h"
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <io/FileBundle.h>
#include <io/FileInputStream.h>
#include <io/FileNotFoundException.h>
#include <io/FileOutputStream.h>
#include <lang/Ptr.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

using io::FileInputStream;
using io::InputStream;

namespace {

// A bundle file of 6000 patterned bytes holding the 100-byte member "data/member.bin" at 5000.
class BundleEntryTest : public ::testing::Test
{
protected:
	iotest::TemporaryDirectory m_directory;
	lang::Ptr<io::FileBundle> m_bundle = new io::FileBundle;
	std::string m_bytes;

	void SetUp() override
	{
		for (int i = 0; i < 6000; ++i)
			m_bytes += static_cast<char>(i % 251);
		iotest::writeFile(m_directory.file("pack.dat"), m_bytes);
		m_bundle->addFile("data/member.bin", m_directory.file("pack.dat").c_str(), 5000, 100);
		FileInputStream::sm_fileBundle = m_bundle;
	}
	void TearDown() override { FileInputStream::sm_fileBundle = nullptr; }

	std::string readAll(InputStream& in)
	{
		std::string out(4096, 0);
		out.resize(in.read(out.data(), 4096));
		return out;
	}
};

TEST_F(BundleEntryTest, ReadsOnlyTheMembersBytes)
{
	FileInputStream in("data/member.bin");
	EXPECT_STREQ("data/member.bin", in.toString().c_str());
	EXPECT_EQ(100, in.available());
	EXPECT_EQ(m_bytes.substr(5000, 100), readAll(in));
	EXPECT_EQ(0, in.read(m_bytes.data(), 10));

	EXPECT_TRUE(in.seek(0, InputStream::SEEKMODE_START));
	EXPECT_EQ(100, in.available());
	EXPECT_EQ(30, in.skip(30));
	EXPECT_EQ(70, in.available());
	EXPECT_TRUE(in.seek(-10, InputStream::SEEKMODE_END));
	EXPECT_EQ(10, in.available());
	EXPECT_EQ(m_bytes.substr(5090, 10), readAll(in));
	EXPECT_EQ(0, in.skip(5));
}

TEST_F(BundleEntryTest, RefusesSeeksOutsideTheMember)
{
	FileInputStream in("data/member.bin");
	ASSERT_TRUE(in.seek(40, InputStream::SEEKMODE_START));
	EXPECT_FALSE(in.seek(101, InputStream::SEEKMODE_START));
	EXPECT_FALSE(in.seek(-1, InputStream::SEEKMODE_START));
	EXPECT_FALSE(in.seek(1, InputStream::SEEKMODE_END));
	EXPECT_FALSE(in.seek(-41, InputStream::SEEKMODE_CURRENT));
	EXPECT_FALSE(in.seek(61, InputStream::SEEKMODE_CURRENT));
	EXPECT_FALSE(in.seek(0, static_cast<InputStream::SeekMode>(3)));
	EXPECT_EQ(60, in.available());
	EXPECT_EQ(m_bytes.substr(5040, 60), readAll(in));
	EXPECT_TRUE(in.seek(100, InputStream::SEEKMODE_START));
	EXPECT_EQ(0, in.available());
}

// An entry of the index that its bundle file cannot hold is refused on opening, before any reader
// takes memory by the size it names.
TEST_F(BundleEntryTest, RefusesEntriesPastTheEndOfTheBundle)
{
	const std::string pack = m_directory.file("pack.dat");
	m_bundle->addFile("data/edge.bin", pack.c_str(), 5900, 100);
	FileInputStream edge("data/edge.bin");
	EXPECT_EQ(100, edge.available());

	m_bundle->addFile("data/long.bin", pack.c_str(), 5000, 1001);
	m_bundle->addFile("data/huge.bin", pack.c_str(), 0, 0x7FFFFFFF);
	m_bundle->addFile("data/beyond.bin", pack.c_str(), 0x7FFFFFFF, 1);
	for (const char* name : {"data/long.bin", "data/huge.bin", "data/beyond.bin"})
	{
		try
		{
			FileInputStream in(name);
			ADD_FAILURE() << name << " opened";
		}
		catch (const io::IOException& e)
		{
			EXPECT_EQ(0u, std::string(e.getMessage().format().c_str()).find(std::string("Failed to open ") + name + ": its "))
				<< e.getMessage().format().c_str();
		}
	}
}

TEST_F(BundleEntryTest, NamesTheBundleDoesNotHoldAreLooseFiles)
{
	iotest::writeFile(m_directory.file("loose.txt"), "loose");
	FileInputStream in(m_directory.file("loose.txt").c_str());
	EXPECT_EQ(5, in.available());
	EXPECT_EQ("loose", readAll(in));
}

TEST(FileInputStreamTest, LooseFileSkipsAndSeeksWithinItsLength)
{
	iotest::TemporaryDirectory directory;
	iotest::writeFile(directory.file("f.bin"), std::string(400, 'x'));
	FileInputStream in(directory.file("f.bin").c_str());
	EXPECT_EQ(400, in.available());
	EXPECT_EQ(100, in.skip(100));
	EXPECT_EQ(300, in.skip(1000));
	EXPECT_EQ(0, in.available());
	char byte;
	EXPECT_EQ(0, in.read(&byte, 1));
	EXPECT_FALSE(in.seek(401, InputStream::SEEKMODE_START));
	EXPECT_TRUE(in.seek(-1, InputStream::SEEKMODE_END));
	EXPECT_EQ(1, in.read(&byte, 1));
}

TEST(FileInputStreamTest, LooseFileReadsToItsCurrentEnd)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("growing.bin");
	iotest::writeFile(path, "abc");
	FileInputStream in(path.c_str());
	char bytes[8] = {};
	EXPECT_EQ(3, in.read(bytes, 8));
	EXPECT_EQ(0, in.read(bytes, 8));
	std::ofstream(path, std::ios::binary | std::ios::app) << "defg";
	EXPECT_EQ(4, in.available());
	EXPECT_TRUE(in.seek(-2, InputStream::SEEKMODE_END));
	EXPECT_EQ(2, in.read(bytes, 8));
	EXPECT_EQ("fg", std::string(bytes, 2));
	std::ofstream(path, std::ios::binary | std::ios::app) << "h";
	EXPECT_EQ(1, in.read(bytes, 8));
	EXPECT_EQ('h', bytes[0]);
}

TEST(FileInputStreamTest, MissingFileNamesAreShortenedBeyond128Bytes)
{
	iotest::TemporaryDirectory directory;
	const std::string base = directory.file("");
	const std::string name128 = base + std::string(128 - base.size(), 'a');
	const std::string name129 = base + std::string(129 - base.size(), 'b');
	EXPECT_EQ("Failed to open " + name128,
		iotest::messageOf<io::FileNotFoundException>([&] { FileInputStream in(name128.c_str()); }));
	EXPECT_EQ("Failed to open ... " + name129.substr(5),
		iotest::messageOf<io::IOException>([&] { FileInputStream in(name129.c_str()); }));
}

TEST(FileOutputStreamTest, ReplacesTheFileWhenClosed)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	iotest::writeFile(path, "old state");
	{
		io::FileOutputStream out(path.c_str());
		out.write("new", 3);
		EXPECT_EQ("old state", iotest::readFile(path));
		out.close();
		EXPECT_EQ("new", iotest::readFile(path));
		EXPECT_EQ("Failed to write 1 bytes to " + path, iotest::messageOf<io::IOException>([&] { out.write("x", 1); }));
	}
	{
		io::FileOutputStream out(path.c_str());
		out.write("by destructor", 13);
	}
	EXPECT_EQ("by destructor", iotest::readFile(path));
	EXPECT_EQ(std::vector<std::string>{"save.lua"}, directory.entries());
}

TEST(FileOutputStreamTest, AnInterruptedSaveLeavesTheOldFileWhole)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	iotest::writeFile(path, "old state");
	try
	{
		io::FileOutputStream out(path.c_str());
		out.write("half", 4);
		throw std::runtime_error("save failed halfway");
	}
	catch (const std::runtime_error&)
	{
	}
	EXPECT_EQ("old state", iotest::readFile(path));
	EXPECT_EQ(std::vector<std::string>{"save.lua"}, directory.entries());

	EXPECT_EXIT(
		{
			io::FileOutputStream out(path.c_str());
			out.write("half", 4);
			std::_Exit(0);
		},
		::testing::ExitedWithCode(0), "");
	EXPECT_EQ("old state", iotest::readFile(path));
}

// Runs in a child process where files may not grow past 10 bytes: saves size bytes over path and
// exits with 0 when the save reports message and leaves the old contents.
[[noreturn]] void saveBeyondTheFileSizeLimit(const std::string& path, int size, const std::string& message, const std::string& old)
{
	signal(SIGXFSZ, SIG_IGN);
	const rlimit limit = {10, 10};
	setrlimit(RLIMIT_FSIZE, &limit);
	const std::string reported = iotest::messageOf<io::IOException>([&] {
		io::FileOutputStream out(path.c_str());
		out.write(std::string(size, 'n').data(), size);
		out.close();
	});
	std::_Exit(reported == message && iotest::readFile(path) == old ? 0 : 1);
}

TEST(FileOutputStreamTest, ReportsWritesAndClosesThatFail)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("save.lua");
	iotest::writeFile(path, "old state");
	// Small writes stay buffered and fail when the stream closes; large ones fail at once.
	EXPECT_EXIT(saveBeyondTheFileSizeLimit(path, 100, "Failed to close " + path + ": File too large", "old state"),
		::testing::ExitedWithCode(0), "");
	EXPECT_EXIT(saveBeyondTheFileSizeLimit(path, 100000, "Failed to write 100000 bytes to " + path, "old state"),
		::testing::ExitedWithCode(0), "");
	EXPECT_EQ(std::vector<std::string>{"save.lua"}, directory.entries());
}

TEST(FileOutputStreamTest, NamesThatCannotBecomeAFileAreNotFound)
{
	iotest::TemporaryDirectory directory;
	const std::string path = directory.file("absent/save.lua");
	EXPECT_EQ("Failed to open " + path + " for writing: No such file or directory",
		iotest::messageOf<io::IOException>([&] { io::FileOutputStream out(path.c_str()); }));
	// The system's reason for each: no name, a directory, and a path through a file.
	iotest::writeFile(directory.file("plain"), "a file");
	const std::pair<std::string, const char*> names[] = {
		{std::string(), "No such file or directory"}, {directory.path(), "Is a directory"},
		{directory.path() + "/", "Is a directory"}, {directory.file("plain/save.lua"), "Not a directory"},
	};
	for (const auto& name : names)
		EXPECT_EQ("Failed to open " + name.first + " for writing: " + name.second,
			iotest::messageOf<io::FileNotFoundException>([&] { io::FileOutputStream out(name.first.c_str()); }));
	std::filesystem::remove(directory.file("plain"));
	EXPECT_THROW(FileInputStream in(directory.path().c_str()), io::FileNotFoundException);
	EXPECT_TRUE(directory.entries().empty());
}

class AppDataStreamTest : public ::testing::Test
{
protected:
	iotest::TemporaryDirectory m_directory;
	void TearDown() override
	{
		io::AppDataInputStream::setRootPath("");
		io::AppDataOutputStream::setRootPath("");
	}
};

TEST_F(AppDataStreamTest, OpensNamesUnderEachClassesOwnRoot)
{
	io::AppDataInputStream::setRootPath(m_directory.path().c_str());
	io::AppDataOutputStream::setRootPath(m_directory.path().c_str());
	{
		io::AppDataOutputStream out("settings.lua");
		EXPECT_EQ(m_directory.file("settings.lua"), out.toString().c_str());
		out.write("volume=1", 8);
	}
	io::AppDataInputStream in("/settings.lua");
	EXPECT_EQ(m_directory.file("settings.lua"), in.toString().c_str());
	EXPECT_EQ(8, in.available());

	io::AppDataInputStream::setRootPath((m_directory.path() + "/elsewhere").c_str());
	io::AppDataOutputStream second("second.lua");
	EXPECT_EQ(m_directory.file("second.lua"), second.toString().c_str());
	EXPECT_THROW(io::AppDataInputStream("settings.lua"), io::IOException);
}

TEST_F(AppDataStreamTest, EmptyRootOpensTheNameItselfAndLongPathsAreShortened)
{
	EXPECT_EQ("Failed to open absent.lua", iotest::messageOf<io::IOException>([] { io::AppDataInputStream in("absent.lua"); }));

	const std::string root = m_directory.path() + "/" + std::string(200 - m_directory.path().size() - 7, 'r');
	io::AppDataInputStream::setRootPath(root.c_str());
	const std::string path = root + "/x.lua";
	ASSERT_EQ(200u, path.size());
	EXPECT_EQ("Failed to open ... " + path.substr(76),
		iotest::messageOf<io::IOException>([] { io::AppDataInputStream in("x.lua"); }));
}

TEST_F(AppDataStreamTest, AnUncreatableSaveIsAPlainIOException)
{
	io::AppDataOutputStream::setRootPath((m_directory.path() + "/absent").c_str());
	const std::string path = m_directory.file("absent/save.lua");
	try
	{
		io::AppDataOutputStream out("save.lua");
		ADD_FAILURE() << "nothing thrown";
	}
	catch (const io::FileNotFoundException&)
	{
		ADD_FAILURE() << "thrown as io::FileNotFoundException";
	}
	catch (const io::IOException& e)
	{
		EXPECT_EQ("Failed to open " + path + " for writing: No such file or directory", e.getMessage().format().c_str());
	}
}

} // namespace
