#include <platform/KeyedArchive.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <unistd.h>

using namespace platform;

namespace
{

// One of every kind, nested, with the awkward values each kind can hold.
ArchiveValue everyKind()
{
	ArchiveValue event = ArchiveValue::record("AnalyticsEvent");
	event.set("eventName", ArchiveValue::string("level \xC3\xA9t\xC3\xA9"));
	event.set("startTime", ArchiveValue::date(1.5e9));
	event.set("timed", ArchiveValue::boolean(true));
	ArchiveValue parameters = ArchiveValue::dictionary();
	parameters.set("", ArchiveValue::string(""));
	parameters.set("score", ArchiveValue::integer(std::numeric_limits<std::int64_t>::min()));
	event.set("parameters", parameters);

	ArchiveValue log = ArchiveValue::array();
	log.append(event);
	log.append(ArchiveValue::array());
	ArchiveValue session = ArchiveValue::record("AnalyticsSession");
	session.set("eventLog", log);
	session.set("latitude", ArchiveValue::real(-0.0));
	session.set("accuracy", ArchiveValue::real(std::nan("")));
	session.set("crashed", ArchiveValue::boolean(false));
	session.set("digest", ArchiveValue::bytes(std::string("\0\xFF\x01", 3)));
	session.set("totalPauseIntervalMillis", ArchiveValue::integer(std::numeric_limits<std::int64_t>::max()));
	return session;
}

std::string temporaryPath(const char* name)
{
	return ::testing::TempDir() + name + std::to_string(::getpid());
}

std::string fileText(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(KeyedArchive, EveryKindSurvivesARoundTripThroughAFile)
{
	const ArchiveValue session = everyKind();
	const std::string path = temporaryPath("round-trip");
	KeyedArchive::writeFile(path, session);
	const ArchiveValue read = KeyedArchive::readFile(path);
	EXPECT_EQ(session, read);
	EXPECT_EQ("AnalyticsEvent", read.get("eventLog").items()[0].className());
	EXPECT_TRUE(std::isnan(read.get("accuracy").asDouble()));
	EXPECT_EQ(3u, read.get("digest").asBytes().size());
	EXPECT_THROW(read.get("missing"), ArchiveError);
	EXPECT_THROW(read.get("crashed").asInt(), ArchiveError);
	std::remove(path.c_str());
}

TEST(KeyedArchive, CorruptArchivesThrowAndLeaveTheFileOnDiskWhole)
{
	const std::string good = KeyedArchive::encode(everyKind());
	std::vector<std::string> corrupt;
	// Every truncation, including the empty text.
	for (size_t size = 0; size < good.size(); ++size)
		corrupt.push_back(good.substr(0, size));
	std::string versioned = good;
	versioned[4] = 2;
	std::string kind = good;
	kind[6] = 10;
	std::string huge = good;
	huge[10] = '\x7F'; // the class name's length runs past the end
	corrupt.insert(corrupt.end(), {versioned, kind, huge, good + "x", "KARX" + good.substr(4)});
	for (const std::string& data : corrupt)
		EXPECT_THROW(KeyedArchive::decode(data), ArchiveError) << data.size();

	const std::string path = temporaryPath("kept");
	KeyedArchive::writeFile(path, everyKind());
	{
		std::ofstream(path + ".bad", std::ios::binary) << good.substr(0, good.size() / 2);
	}
	EXPECT_THROW(KeyedArchive::readFile(path + ".bad"), ArchiveError);
	EXPECT_EQ(good.substr(0, good.size() / 2), fileText(path + ".bad"));
	EXPECT_THROW(KeyedArchive::writeFile(path + "/not-a-directory", ArchiveValue()), ArchiveError);
	EXPECT_EQ(good, fileText(path));
	std::remove(path.c_str());
	std::remove((path + ".bad").c_str());
}

TEST(KeyedArchive, RefusesRepeatedKeysBadBooleansAndDeepNesting)
{
	ArchiveValue pair = ArchiveValue::dictionary();
	pair.set("a", ArchiveValue::boolean(true));
	pair.set("b", ArchiveValue::boolean(true));
	std::string repeated = KeyedArchive::encode(pair);
	repeated[repeated.find('b')] = 'a';
	EXPECT_THROW(KeyedArchive::decode(repeated), ArchiveError);
	std::string boolean = KeyedArchive::encode(ArchiveValue::boolean(true));
	boolean.back() = 2;
	EXPECT_THROW(KeyedArchive::decode(boolean), ArchiveError);

	ArchiveValue deep = ArchiveValue::array();
	for (int depth = 0; depth < KeyedArchive::MAX_DEPTH; ++depth)
	{
		ArchiveValue outer = ArchiveValue::array();
		outer.append(deep);
		deep = outer;
	}
	EXPECT_NO_THROW(KeyedArchive::decode(KeyedArchive::encode(deep)));
	ArchiveValue deeper = ArchiveValue::array();
	deeper.append(deep);
	EXPECT_THROW(KeyedArchive::decode(KeyedArchive::encode(deeper)), ArchiveError);
}

// Past a handful of keys they are found through a hash of them: every key must still be found,
// replaced in place and refused when an archive repeats it, in the original and in a copy.
TEST(KeyedArchive, ManyKeysAreFoundReplacedAndRefusedWhenRepeated)
{
	const int KEYS = 1000;
	const auto keyOf = [](int i) { return "k" + std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i); };
	ArchiveValue dictionary = ArchiveValue::dictionary();
	for (int i = 0; i < KEYS; ++i)
		dictionary.set(keyOf(i), ArchiveValue::integer(i));
	dictionary.set(keyOf(500), ArchiveValue::string("replaced"));
	ArchiveValue copy = dictionary;
	copy.set(keyOf(999), ArchiveValue::boolean(true));
	copy.set("added", ArchiveValue::boolean(false));

	const ArchiveValue decoded = KeyedArchive::decode(KeyedArchive::encode(dictionary));
	EXPECT_EQ(dictionary, decoded);
	const ArchiveValue* const values[] = {&dictionary, &decoded, &copy};
	for (const ArchiveValue* value : values)
	{
		ASSERT_EQ(static_cast<size_t>(value == &copy ? KEYS + 1 : KEYS), value->keys().size());
		for (int i = 0; i < KEYS; ++i)
		{
			EXPECT_EQ(keyOf(i), value->keys()[i]);
			if (i == 500)
				EXPECT_EQ("replaced", value->get(keyOf(i)).asString());
			else if (i == 999 && value == &copy)
				EXPECT_TRUE(value->get(keyOf(i)).asBool());
			else
				EXPECT_EQ(i, value->get(keyOf(i)).asInt()) << i;
		}
		EXPECT_EQ(value == &copy, value->has("added"));
		EXPECT_THROW(value->get("k1000"), ArchiveError);
	}

	std::string repeated = KeyedArchive::encode(dictionary);
	const size_t last = repeated.rfind(keyOf(KEYS - 1));
	repeated.replace(last, 4, keyOf(3));
	try
	{
		KeyedArchive::decode(repeated);
		ADD_FAILURE() << "a key repeated far from the first is decoded";
	}
	catch (const ArchiveError& error)
	{
		EXPECT_EQ("Archive repeats the key \"k003\"", std::string(error.what()));
	}

	ArchiveValue moved = std::move(copy);
	EXPECT_EQ(ArchiveValue(), copy);
	EXPECT_EQ(KEYS + 1, static_cast<int>(moved.keys().size()));
}

// Whatever makes a file no archive, the error says which file and why.
TEST(KeyedArchive, AFileThatDoesNotDecodeIsNamedWithTheReason)
{
	const std::string good = KeyedArchive::encode(everyKind());
	std::string repeated = KeyedArchive::encode(everyKind());
	repeated.replace(repeated.find("latitude"), 8, "eventLog");
	const struct
	{
		const char* damage;
		std::string bytes;
		const char* reason;
	} cases[] = {
		{"cut short", good.substr(0, good.size() / 2), "Archive ends early"},
		{"empty", "", "Not an archive"},
		{"text", "plain text", "Not an archive"},
		{"a repeated key", repeated, "Archive repeats the key \"eventLog\""},
		{"a byte after the value", good + "x", "Archive has bytes after its value"},
	};
	const std::string path = temporaryPath("damaged");
	for (const auto& c : cases)
	{
		std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
		try
		{
			KeyedArchive::readFile(path);
			ADD_FAILURE() << c.damage << " decodes";
		}
		catch (const ArchiveDamaged& error)
		{
			EXPECT_EQ(c.reason, error.reason()) << c.damage;
			EXPECT_EQ("Cannot decode " + path + ": " + c.reason, std::string(error.what())) << c.damage;
		}
	}
	std::remove(path.c_str());
}
