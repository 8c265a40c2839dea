#include "IoTestSupport.h"
#include <io/IOException.h>
#include <io/PathName.h>
#include <memory>

using io::PathName;

namespace {

struct Parts
{
	std::string text, drive, directory, basename, extension;
};

Parts partsOf(const PathName& p)
{
	return {p.path(), p.drive(), p.directory(), p.basename(), p.extension()};
}

void expectParts(const Parts& expected, const PathName& p, const std::string& context)
{
	const Parts actual = partsOf(p);
	EXPECT_EQ(expected.text, actual.text) << context;
	EXPECT_EQ(expected.drive, actual.drive) << context;
	EXPECT_EQ(expected.directory, actual.directory) << context;
	EXPECT_EQ(expected.basename, actual.basename) << context;
	EXPECT_EQ(expected.extension, actual.extension) << context;
}

TEST(PathNameTest, NormalisesAndSplits)
{
	struct Case
	{
		std::string first;
		const char* second;
		Parts expected;
	};
	const Case cases[] = {
		{"a\\b\\c.png", nullptr, {"a/b/c.png", "", "a/b/", "c", ".png"}},
		{"data", "x.png", {"data/x.png", "", "data/", "x", ".png"}},
		{"data/", "/x.png", {"data/x.png", "", "data/", "x", ".png"}},
		{"data\\", "x.png", {"data/x.png", "", "data/", "x", ".png"}},
		{"data/", "//x.png", {"data//x.png", "", "data//", "x", ".png"}},
		{"", "/x.png", {"/x.png", "", "/", "x", ".png"}},
		{"data", "", {"data/", "", "data/", "", ""}},
		{"a/./b", nullptr, {"a/b", "", "a/", "b", ""}},
		{"./a", nullptr, {"a", "", "", "a", ""}},
		{"a/b/../c.txt", nullptr, {"a/c.txt", "", "a/", "c", ".txt"}},
		{"a/../b", nullptr, {"b", "", "", "b", ""}},
		{"/x/../y", nullptr, {"/y", "", "/", "y", ""}},
		{"a/../../b", nullptr, {"../b", "", "../", "b", ""}},
		{"../a/./b", nullptr, {"../a/./b", "", "../a/./", "b", ""}},
		{"a/b/..", nullptr, {"a/b/..", "", "a/b/", ".", "."}},
		{"a/b/./../c", nullptr, {"a/c", "", "a/", "c", ""}},
		{"c:\\dir\\f.tar.gz", nullptr, {"c:/dir/f.tar.gz", "c:", "/dir/", "f.tar", ".gz"}},
		{"x/.hidden", nullptr, {"x/.hidden", "", "x/", "", ".hidden"}},
		{"", nullptr, {"", "", "", "", ""}},
	};
	for (const Case& c : cases)
	{
		const std::string context = c.first + " | " + (c.second ? c.second : "(one)");
		if (c.second)
			expectParts(c.expected, PathName(c.first.c_str(), c.second), context);
		else
			expectParts(c.expected, PathName(c.first.c_str()), context);
	}
}

TEST(PathNameTest, ParentAndFilename)
{
	struct Case
	{
		const char* path;
		const char* parent;
		const char* filename;
	};
	const Case cases[] = {
		{"a/b/c.png", "a/b", "c.png"},
		{"a/b/", "a", ""},
		{"c.png", "", "c.png"},
		{"/x", "", "x"},
		{"", "", ""},
	};
	for (const Case& c : cases)
	{
		const PathName path(c.path);
		EXPECT_STREQ(c.parent, path.parent().path()) << c.path;
		EXPECT_STREQ(c.filename, path.filename().c_str()) << c.path;
	}
}

TEST(PathNameTest, EnforcesTheLengthAndStoreLimits)
{
	const std::string plain248(248, 'p');
	EXPECT_EQ(500, PathName(plain248.c_str()).storeUsed());
	const std::string plain249(249, 'p');
	EXPECT_EQ("Path name buffer overflow, 502 bytes. Initial path name was \"" + plain249 + "\".",
		iotest::messageOf<io::IOException>([&] { PathName p(plain249.c_str()); }));

	const std::string shaped247 = "d/" + std::string(241, 'b') + ".ext";
	ASSERT_EQ(247u, shaped247.size());
	EXPECT_EQ(500, PathName(shaped247.c_str()).storeUsed());
	const std::string shaped248 = "d/" + std::string(242, 'b') + ".ext";
	EXPECT_EQ("Path name buffer overflow, 502 bytes. Initial path name was \"" + shaped248 + "\".",
		iotest::messageOf<io::IOException>([&] { PathName p(shaped248.c_str()); }));

	const std::string long250(250, 'l');
	EXPECT_EQ("Too long path name: \"" + long250 + "\"", iotest::messageOf<io::IOException>([&] { PathName p(long250.c_str()); }));

	const std::string first249(249, 'f');
	EXPECT_EQ("Too long path name: \"" + first249 + "\" and \"abcd\"",
		iotest::messageOf<io::IOException>([&] { PathName p(first249.c_str(), "abcd"); }));
	// Three characters pass the length check; the store is what refuses the join.
	const std::string store = iotest::messageOf<io::IOException>([&] { PathName p(first249.c_str(), "abc"); });
	EXPECT_EQ(0u, store.find("Path name buffer overflow, ")) << store;
}

TEST(PathNameTest, CopiesOwnTheirText)
{
	auto source = std::make_unique<PathName>("dir/sub/name.ext");
	const PathName constructed(*source);
	PathName assigned("other");
	assigned = *source;
	assigned = assigned;
	*source = PathName("changed/x.y");
	source.reset();
	for (const PathName* copy : {&constructed, static_cast<const PathName*>(&assigned)})
	{
		expectParts({"dir/sub/name.ext", "", "dir/sub/", "name", ".ext"}, *copy, "copy");
		const char* begin = reinterpret_cast<const char*>(copy);
		for (const char* part : {copy->path(), copy->drive(), copy->directory(), copy->basename(), copy->extension()})
			EXPECT_TRUE(part >= begin && part < begin + sizeof(PathName));
	}
}

} // namespace
