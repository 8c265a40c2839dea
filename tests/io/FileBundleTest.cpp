#include "IoTestSupport.h"
#include <io/ByteArrayInputStream.h>
#include <io/DataCorruptedException.h>
#include <io/FileBundle.h>
#include <io/FileNotFoundException.h>

using io::FileBundle;

namespace {

// Parses text as an index with the base directory "data/"; returns the corruption message, if any.
std::string parse(FileBundle& bundle, const std::string& text)
{
	io::ByteArrayInputStream index(text.data(), static_cast<int>(text.size()));
	try
	{
		bundle.parseIndex(index, "data/");
	}
	catch (const io::DataCorruptedException& e)
	{
		return e.getMessage().format().c_str();
	}
	return "";
}

// A corrupt index is named with the record at fault, its line and what is wrong with it.
TEST(FileBundleTest, IndexTextsGiveRecordsOfFourTokens)
{
	struct Case
	{
		std::string text;
		int entries;
		std::string fault;
	};
	const std::string stream = "ByteArrayInputStream";
	const std::string notACount = " is no byte count from 0 to 2147483647";
	const Case cases[] = {
		{"pack.dat,a.png,10,20\n", 1, ""},
		{"pack.dat,a.png,10,20", 1, ""},
		{"pack.dat,,a.png,,10,,20", 1, ""},
		{"\n\npack.dat\na.png\n10\n20\n\n", 1, ""},
		{"pack.dat,a.png,10,20,pack.dat,b.png,30,40\n", 2, ""},
		{"pack.dat,a.png,10,20\npack.dat\n", 1, stream + ", record 2 at line 2: it ends after 1 of its 4 fields"},
		{"pack.dat,a.png,10,20\npack.dat,b.png\n", 1, stream + ", record 2 at line 2: it ends after 2 of its 4 fields"},
		{"pack.dat,a.png,10,20\npack.dat,b.png,30\n", 1, stream + ", record 2 at line 2: it ends after 3 of its 4 fields"},
		{"", 0, stream + " holds no record"},
		{",\n,,\n", 0, stream + " holds no record"},
		{"pack.dat,a.png,-5,20\n", 0, stream + ", record 1 at line 1: the offset \"-5\" of a.png" + notACount},
		{"pack.dat,a.png,10,-1\n", 0, stream + ", record 1 at line 1: the size \"-1\" of a.png" + notACount},
		{"pack.dat,a.png,2147483648,20\n", 0, stream + ", record 1 at line 1: the offset \"2147483648\" of a.png" + notACount},
		{"pack.dat,a.png,10,99999999999999999999\n", 0,
			stream + ", record 1 at line 1: the size \"99999999999999999999\" of a.png" + notACount},
		{"p,a.png,1,2\n\n,\np,b.png,x\n-3\n", 1, stream + ", record 2 at line 4: the size \"-3\" of b.png" + notACount},
		{std::string("pack.dat,a.png,10,20\n\0pack.dat,b.png,30,40\n", 42), 1, ""},
	};
	for (const Case& c : cases)
	{
		FileBundle bundle;
		EXPECT_EQ(c.fault.empty() ? "" : "FileBundle corrupted: " + c.fault, parse(bundle, c.text)) << c.text;
		EXPECT_EQ(c.entries, bundle.fileCount()) << c.text;
	}
}

TEST(FileBundleTest, StoresTheFieldsOfARecord)
{
	struct Case
	{
		std::string text;
		std::string name;
		std::string bundle;
		int offset;
		int size;
	};
	const Case cases[] = {
		{"pack0.dat,images/title.png,1024,2048\r\n", "data/images/title.png", "data/pack0.dat", 1024, 2048},
		{"pack.dat,a.png, 7,letters", "data/a.png", "data/pack.dat", 7, 0},
		{"sub\\pack.dat,sub\\x.png,0,1", "data/sub/x.png", "data/sub/pack.dat", 0, 1},
		{"p,./x.png,0,1", "data/x.png", "data/p", 0, 1},
		{"p,sub/../x.png,0,1", "data/x.png", "data/p", 0, 1},
		{"p,x.png,1,1\nq,x.png,2,3", "data/x.png", "data/q", 2, 3},
	};
	for (const Case& c : cases)
	{
		FileBundle bundle;
		ASSERT_EQ("", parse(bundle, c.text)) << c.text;
		EXPECT_EQ(1, bundle.fileCount()) << c.text;
		ASSERT_TRUE(bundle.containsFile(c.name.c_str())) << c.text;
		EXPECT_EQ(c.bundle, bundle.getBundle(c.name.c_str()).c_str());
		EXPECT_EQ(c.offset, bundle.getOffset(c.name.c_str()));
		EXPECT_EQ(c.size, bundle.getSize(c.name.c_str()));
	}
}

TEST(FileBundleTest, AbsentNamesThrowAndLeaveTheTableAlone)
{
	FileBundle bundle;
	EXPECT_FALSE(bundle.containsFile("data/a.png"));
	EXPECT_EQ("File not found in bundle", iotest::messageOf<lang::Exception>([&] { bundle.getSize("data/a.png"); }));
	bundle.addFile("data/b.png", "data/pack.dat", 0, 4);
	for (int i = 0; i < 100; ++i)
		EXPECT_THROW(bundle.getOffset(("data/absent" + std::to_string(i)).c_str()), lang::Exception);
	EXPECT_FALSE(bundle.containsFile("data/a.png"));
	EXPECT_FALSE(bundle.containsFile("data/B.png"));
	EXPECT_EQ(1, bundle.fileCount());
	EXPECT_EQ("FileBundle corrupted: data/c.png has the offset -1 and the size 4; neither may be negative",
		iotest::messageOf<io::DataCorruptedException>([&] { bundle.addFile("data/c.png", "data/pack.dat", -1, 4); }));
}

TEST(FileBundleTest, ReadsTheIndexFileByName)
{
	iotest::TemporaryDirectory directory;
	iotest::writeFile(directory.file("bundleIndex.idx"), "pack.dat,a.png,10,20\n");
	FileBundle bundle;
	bundle.parseIndex(directory.file("bundleIndex.idx").c_str(), (directory.path() + "/").c_str());
	EXPECT_EQ(directory.file("pack.dat"), bundle.getBundle(directory.file("a.png").c_str()).c_str());

	EXPECT_EQ("Failed to open " + directory.file("absent.idx"), iotest::messageOf<io::FileNotFoundException>([&] {
		bundle.parseIndex(directory.file("absent.idx").c_str(), "");
	}));
	iotest::writeFile(directory.file("cut.idx"), "pack.dat,a.png,10,20\npack.dat,b.png,30\n");
	EXPECT_EQ("FileBundle corrupted: " + directory.file("cut.idx") + ", record 2 at line 2: it ends after 3 of its 4 fields",
		iotest::messageOf<io::DataCorruptedException>([&] { bundle.parseIndex(directory.file("cut.idx").c_str(), ""); }));
}

} // namespace
