#include "AgentTestSupport.h"
#include "SessionReportReader.h"
#include <agent/AnalyticsProtocolData.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <platform/KeyedArchive.h>

using P = AnalyticsProtocolData;

namespace
{

std::string bytes(std::initializer_list<int> values)
{
	std::string data;
	for (int value : values)
		data.push_back(static_cast<char>(value));
	return data;
}

template <class Write>
std::string written(Write write)
{
	std::string data;
	write(data);
	return data;
}

} // namespace

TEST(AnalyticsProtocolData, FieldsAreBigEndianAndCountsKeepTheWiresWidths)
{
	EXPECT_EQ(bytes({0x00, 0x03, 'a', 'b', 'c'}), written([](std::string& d) { P::appendString("abc", d); }));
	EXPECT_EQ(bytes({0x00, 0x00}), written([](std::string& d) { P::appendString("", d); }));
	EXPECT_EQ(bytes({0x12, 0x34}), written([](std::string& d) { P::appendUshort(0x51234, d); }));
	EXPECT_EQ(bytes({0xFF, 0xFF, 0xFF, 0xFE}), written([](std::string& d) { P::appendInt(-2, d); }));
	EXPECT_EQ(bytes({0x3F, 0x80, 0x00, 0x00}), written([](std::string& d) { P::appendFloat(1.0f, d); }));
	EXPECT_EQ(bytes({0xC0, 0x00, 0, 0, 0, 0, 0, 0}), written([](std::string& d) { P::appendDouble(-2.0, d); }));
	EXPECT_EQ(bytes({0, 0, 0, 0, 0, 0, 0x0B, 0xB8}), written([](std::string& d) { P::appendTimestamp(3.0009, d); }));
	EXPECT_EQ(std::string(8, '\0'), written([](std::string& d) { P::appendTimestamp(std::nullopt, d); }));

	const std::string value(300, 'v');
	EXPECT_EQ(bytes({0x2C}) + value.substr(0, 44), written([&](std::string& d) { P::appendTinyData(value, d); }));
	EXPECT_EQ(bytes({0x01, 0x2C}) + value, written([&](std::string& d) { P::appendShortData(value, d); }));
}

TEST(AnalyticsProtocolData, LongStringsAreCutAt255Utf16UnitsNeverInsideAPair)
{
	const std::string ascii(300, 'x');
	EXPECT_EQ(bytes({0x00, 0xFF}) + ascii.substr(0, 255), written([&](std::string& d) { P::appendString(ascii, d); }));

	// Three UTF-8 bytes and one unit each: 255 of them make 765 bytes.
	std::string euros;
	for (int i = 0; i < 300; ++i)
		euros += "\xE2\x82\xAC";
	EXPECT_EQ(bytes({0x02, 0xFD}), written([&](std::string& d) { P::appendString(euros, d); }).substr(0, 2));

	const std::string face = "\xF0\x9F\x98\x80";
	struct Case
	{
		std::string text;
		std::string kept;
	} cases[] = {
		{std::string(254, 'a') + face, std::string(254, 'a')},
		{std::string(253, 'a') + face + "b", std::string(253, 'a') + face},
		{std::string(253, 'a') + face, std::string(253, 'a') + face},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.kept, P::limitStringLength(c.text)) << c.text.size();
}

class SessionReportTest : public AgentSessionTest
{
};

TEST_F(SessionReportTest, TheHeaderWithNoSessionsHasFixedOffsetsAndEndsWithCountZero)
{
	ManualClock clock;
	AnalyticsSessionStore::setApiKey("KEY");
	const std::string report = AnalyticsSessionUploader::dataForSessions({}, true);
	EXPECT_EQ(bytes({0x00, 0x0F, 0x00, 0x01}), report.substr(0, 4));
	EXPECT_EQ(std::string(8, '\0'), report.substr(4, 8));
	EXPECT_EQ(bytes({0x00, 0x00, 0x00, 0x08, 0x00, 0x2A}), report.substr(12, 6));
	EXPECT_EQ(bytes({0x00, 0x00}), report.substr(report.size() - 2));

	const DecodedReport decoded = decodeReport(report);
	EXPECT_EQ(1000000000, decoded.now);
	EXPECT_EQ(0, decoded.idType);
	EXPECT_EQ("IPHONE", decoded.deviceID.substr(0, 6));
	EXPECT_EQ(1000000000, decoded.initialTimestamp);
	EXPECT_EQ((std::map<std::string, std::string>{{"device.model.1", "iOS4Device"}}), decoded.properties);
	EXPECT_TRUE(decoded.sessions.empty());

	AnalyticsSessionUploader::setAdHooks({[] { return AnalyticsSessionUploader::AdImageCache{7, {5, -2}}; }, nullptr});
	const std::string cached = AnalyticsSessionUploader::dataForSessions({}, false);
	EXPECT_EQ(bytes({0x00, 0x0F, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 7, 0x00, 0x02, 0x01, 0, 0, 0, 0, 0, 0, 0, 5, 0x01}),
		cached.substr(0, 24));
	EXPECT_EQ((std::vector<std::int64_t>{5, -2}), decodeReport(cached).imageIds);
}

TEST_F(SessionReportTest, ARecordRoundTripsThroughItsBlock)
{
	ManualClock clock;
	AnalyticsSession session("KEY", "2.5");
	session.setUserID("player");
	session.setAge(30);
	clock.advance(3);
	session.recordEvent("levelDone", {{"level", "3-1"}}, false);
	session.recordEvent("boss", {}, true);
	clock.advance(1.5);
	session.endTimedEvent("boss", {{"won", "yes"}});
	session.recordError("E1", "failed", "std::runtime_error: disk");

	DecodedSession running = decodeReport(AnalyticsSessionUploader::dataForSessions({session.data()}, false)).sessions.at(0);
	EXPECT_EQ(-1, running.length);
	EXPECT_EQ(0xFF, running.gender);
	EXPECT_TRUE(running.hasBirthDate);
	EXPECT_EQ("2.5", running.appVersion);
	EXPECT_EQ("player", running.userID);
	EXPECT_EQ(1000000000, running.start);
	EXPECT_EQ(0.0, running.latitude);
	EXPECT_EQ(0.0, running.longitude);
	EXPECT_EQ(0.0f, running.accuracy);
	EXPECT_EQ((std::map<std::string, int>{{"boss", 1}, {"levelDone", 1}}), running.counts);
	ASSERT_EQ(2u, running.events.size());
	EXPECT_EQ(3000, running.events[0].startOffset);
	EXPECT_EQ(0, running.events[0].duration);
	EXPECT_EQ((std::map<std::string, std::string>{{"level", "3-1"}}), running.events[0].parameters);
	EXPECT_EQ(1500, running.events[1].duration);
	EXPECT_EQ((std::map<std::string, std::string>{{"won", "yes"}}), running.events[1].parameters);
	ASSERT_EQ(1u, running.errors.size());
	EXPECT_EQ("std::runtime_error: disk", running.errors[0].description);
	EXPECT_TRUE(running.complete);

	// The location stays 0 on this platform; a record read back keeps what its archive held.
	platform::ArchiveValue located = session.archive();
	located.set("latitude", platform::ArchiveValue::real(12.5));
	located.set("longitude", platform::ArchiveValue::real(-3.25));
	located.set("accuracy", platform::ArchiveValue::real(7.5));
	const DecodedSession placed =
		decodeReport(AnalyticsSessionUploader::dataForSessions({AnalyticsSession::unarchive(located)->data()}, false)).sessions.at(0);
	EXPECT_EQ(12.5, placed.latitude);
	EXPECT_EQ(-3.25, placed.longitude);
	EXPECT_EQ(7.5f, placed.accuracy);

	clock.advance(2);
	session.setGender("m");
	session.endSessionAndSend(false, false);
	const DecodedSession ended = decodeReport(AnalyticsSessionUploader::dataForSessions({session.data()}, false)).sessions.at(0);
	EXPECT_EQ(6500, ended.length);
	EXPECT_EQ(1, ended.gender);
}

TEST_F(SessionReportTest, EventTimesKeepOnlyTheirLow32Bits)
{
	ManualClock clock;
	AnalyticsSession session("KEY", "1");
	// 2^32 + 5 ms after the start.
	clock.advance(4294967.301);
	session.recordEvent("late", {}, false);
	const DecodedSession decoded = decodeReport(AnalyticsSessionUploader::dataForSessions({session.data()}, false)).sessions.at(0);
	EXPECT_EQ(5, decoded.events.at(0).startOffset);
}

TEST_F(SessionReportTest, StoredBlocksAreCopiedWholeAndAnElementThatIsNoBlockIsSkipped)
{
	AnalyticsSession first("KEY", "1");
	AnalyticsSession second("KEY", "2");
	platform::ArchiveValue stored = platform::ArchiveValue::array();
	stored.append(platform::ArchiveValue::bytes(first.data()));
	stored.append(platform::ArchiveValue::string("not a block"));
	stored.append(platform::ArchiveValue::bytes(second.data()));
	const std::vector<std::string> blocks = AnalyticsSessionStore::decodeSessions(platform::KeyedArchive::encode(stored));
	ASSERT_EQ(2u, blocks.size());

	const std::string report = AnalyticsSessionUploader::dataForSessions(blocks, false);
	EXPECT_EQ(first.data() + second.data(), report.substr(report.size() - first.data().size() - second.data().size()));
	const DecodedReport decoded = decodeReport(report);
	ASSERT_EQ(2u, decoded.sessions.size());
	EXPECT_EQ("2", decoded.sessions[1].appVersion);
	EXPECT_THROW(AnalyticsSessionStore::decodeSessions(platform::KeyedArchive::encode(platform::ArchiveValue::integer(3))),
		platform::ArchiveError);
}
