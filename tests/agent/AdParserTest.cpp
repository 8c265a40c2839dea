#include "AdTestSupport.h"
#include "SessionReportReader.h"
#include "support/LoopbackHttpServer.h"
#include <agent/ads/AnalyticsAdDelegate.h>
#include <agent/ads/AnalyticsOffer.h>
#include <thread>

namespace {

class CountingDelegate : public AnalyticsAdDelegate
{
public:
	void dataAvailable() override { ++available; }
	void dataUnavailable() override { ++unavailable; }
	int available = 0, unavailable = 0;
};

using ParserTest = AdTest;

TEST_F(ParserTest, EndOnlyArchivesAnUnfinishedParserAndFinishesTheCurrentOne)
{
	EXPECT_FALSE(AnalyticsAdParser::isAdParserFinished());
	publish(AdAnswerWriter().version(3).end());
	EXPECT_TRUE(AnalyticsAdParser::isAdParserFinished());
	std::optional<platform::ArchiveValue> archived = AnalyticsFileCache::instance()->get("adParser");
	ASSERT_TRUE(archived);
	EXPECT_EQ(archived->get("adParsingPhase").asInt(), 0);
	EXPECT_EQ(AnalyticsAdParser::recreateOldInstance()->versionId(), 3);
	EXPECT_TRUE(AnalyticsFileCache::instance()->get("imageCache"));
}

TEST_F(ParserTest, UnknownChunkIsSkipped)
{
	publish(AdAnswerWriter().chunk(0x104, AdBody().raw("0123456789")).version(9));
	EXPECT_EQ(AnalyticsAdParser::instance()->versionId(), 9);
}

TEST_F(ParserTest, NegativeImageIdEndsTheChunkAndIdZeroIsDropped)
{
	publish(AdAnswerWriter().images({{1}, {-1}, {3}}).images({{0}, {4}}));
	std::shared_ptr<AnalyticsAdParser> parser = AnalyticsAdParser::instance();
	EXPECT_EQ(parser->getImage(1), "PNGDATA");
	EXPECT_EQ(parser->getImage(3), "");
	EXPECT_EQ(parser->getImage(4), "PNGDATA");
	EXPECT_EQ(AnalyticsImageCache::instance()->storedIds(), (std::vector<std::int64_t>{1, 4}));
}

TEST_F(ParserTest, ImageDataCannotReachPastItsChunk)
{
	// The image claims more bytes than its chunk holds; the next chunk still parses.
	AdBody image;
	image.u16(1).u64(8).u32(1).u32(1).text("image/png").u32(1000).raw("short");
	publish(AdAnswerWriter().chunk(AnalyticsAdParser::TAG_IMAGES, image).version(2));
	EXPECT_EQ(AnalyticsAdParser::instance()->getImage(8), "");
	EXPECT_EQ(AnalyticsAdParser::instance()->versionId(), 2);
}

TEST_F(ParserTest, UnknownHookFallsBackToTheEmptyName)
{
	publish(AdAnswerWriter().theme(1, 0, 0).hooks({{"", {1, 1}}, {"named", {1, 1}}}));
	std::shared_ptr<AnalyticsAdHook> hook = AnalyticsAdParser::fastHookWithName("unknown");
	ASSERT_TRUE(hook);
	EXPECT_EQ(hook->name, "");
	EXPECT_EQ(AnalyticsAdParser::fastHookWithName("named")->name, "named");
}

TEST_F(ParserTest, MissingThemeImageHidesTheHook)
{
	publish(AdAnswerWriter().theme(1, 0, 5).hooks({{"h", {1, 1}}}));
	EXPECT_FALSE(AnalyticsAdParser::fastHookWithName("h"));
	publish(AdAnswerWriter().images({{5}}).theme(1, 0, 5).hooks({{"h", {1, 1}}}));
	std::shared_ptr<AnalyticsAdHook> hook = AnalyticsAdParser::fastHookWithName("h");
	ASSERT_TRUE(hook);
	EXPECT_EQ(hook->adTheme->landscapeAdImage, "PNGDATA");
}

TEST_F(ParserTest, AdsRotateAndFiveTriesGiveUp)
{
	publish(AdAnswerWriter().banner({{1, 11}, {2, 12}, {3, 13}}));
	std::vector<std::int64_t> handedOut;
	for (int i = 0; i < 4; ++i)
		handedOut.push_back(AnalyticsAdParser::fastAdWithHook("banner", "")->adId);
	EXPECT_EQ(handedOut, (std::vector<std::int64_t>{1, 2, 3, 1}));

	for (int i = 0; i < 3; ++i)
		ASSERT_TRUE(AnalyticsAdParser::fastAdWithHook("banner", "parent"));
	EXPECT_FALSE(AnalyticsAdParser::fastAdWithHook("banner", "parent"));
	EXPECT_EQ(AnalyticsAdParser::fastAdWithHook("banner", "other")->adImage, "PNGDATA");
}

TEST_F(ParserTest, ThemeStylesAndGeometry)
{
	publish(AdAnswerWriter().images({{1}}).theme(200, 0, 0, 0xFF0080FF).themeExtension(200, -4).hooks({{"h", {1, 200}}}).clickAction("h", 2));
	std::shared_ptr<AnalyticsAdHook> hook = AnalyticsAdParser::fastHookWithName("h");
	ASSERT_TRUE(hook);
	EXPECT_EQ(hook->clickAction, 2);
	const AnalyticsAdTheme& theme = *hook->adTheme;
	const AnalyticsAdColor colour = theme.portraitSellMessageTextStyle.fontColor;
	EXPECT_FLOAT_EQ(colour.red, 0);
	EXPECT_FLOAT_EQ(colour.green, 128.0f / 255);
	EXPECT_FLOAT_EQ(colour.blue, 1);
	EXPECT_FLOAT_EQ(colour.alpha, 1);
	EXPECT_EQ(theme.portraitSellMessageTextStyle.fontSize, 12);
	EXPECT_EQ(theme.landscapeAdvertiserTextStyle.font, "Arial");
	EXPECT_EQ(theme.portraitAdDimension.width, -4);
	EXPECT_EQ(theme.landscapeAdvertiserTextStyle.dimension.height, -3);
}

TEST_F(ParserTest, PropertiesAreClampedIntoSoundRanges)
{
	struct Case
	{
		std::int32_t refresh;
		int portraitMax, landscapeMax;
		std::int32_t refreshAfter, portraitAfter, landscapeAfter;
	};
	const Case cases[] = {
		{30, 4, 2, 30, 4, 2},
		{0, -1, -128, 1, 0, 0},
		{-7, 127, 11, 1, AnalyticsAdProperties::MAX_ADS_SHOWN, AnalyticsAdProperties::MAX_ADS_SHOWN},
	};
	EXPECT_FLOAT_EQ(AnalyticsAdProperties::getLandscapeAdsShownAtStart(), 0.75f);
	for (const Case& c : cases)
	{
		publish(AdAnswerWriter().properties(c.refresh, c.portraitMax, c.landscapeMax, "abc", "1.5"));
		EXPECT_EQ(AnalyticsAdProperties::getBannerRefreshInSeconds(), c.refreshAfter) << c.refresh;
		EXPECT_EQ(AnalyticsAdProperties::getPortraitAdsMaxShown(), c.portraitAfter);
		EXPECT_EQ(AnalyticsAdProperties::getLandscapeAdsMaxShown(), c.landscapeAfter);
	}
	EXPECT_FLOAT_EQ(AnalyticsAdProperties::getLandscapeAdsShownAtStart(), 1.5f);
	EXPECT_FLOAT_EQ(AnalyticsAdProperties::getPortraitAdsShownAtStart(), 2.5f);
	EXPECT_EQ(AnalyticsImageCache::instance()->cacheUpdateTimestamp(), 99);
}

TEST_F(ParserTest, BadAnswersPublishNothing)
{
	CountingDelegate delegate;
	AnalyticsAdParser::instance()->setAdDelegate(&delegate);
	publish(AdAnswerWriter().version(1));
	EXPECT_EQ(delegate.available, 1);
	const std::string whole = AdAnswerWriter().version(2).bytes();
	const std::string answers[] = {
		"",
		whole.substr(0, whole.size() - 1),
		whole + "\x01\x02\x00",
		whole + AdAnswerWriter().chunk(0x104, AdBody().raw(std::string(AnalyticsAdParser::MAX_ANSWER_BYTES, 'x'))).bytes(),
	};
	for (const std::string& answer : answers)
		EXPECT_FALSE(AnalyticsAdParser::publishAnswer(true, answer)) << answer.size();
	EXPECT_FALSE(AnalyticsAdParser::publishAnswer(false, whole));
	EXPECT_EQ(AnalyticsAdParser::instance()->versionId(), 1);
	EXPECT_EQ(delegate.unavailable, 5);
	EXPECT_FALSE(AnalyticsAdParser::instance()->internetAvailable());
	AnalyticsAdParser::instance()->setAdDelegate(nullptr);
}

TEST_F(ParserTest, TheAdNetworkDelegateIsHandedToEachNewSessionsParser)
{
	CountingDelegate delegate;
	AnalyticsAPI::setAdNetworkDelegate(&delegate);
	EXPECT_EQ(AnalyticsAdParser::instance()->adDelegate(), &delegate);
	AnalyticsAPI::createAndSendSession();
	platform::BackgroundThreads::shared().joinAll();
	EXPECT_EQ(AnalyticsAdParser::instance()->adDelegate(), &delegate);
	publish(AdAnswerWriter().version(1));
	EXPECT_EQ(delegate.available, 1);
	AnalyticsAdParser::instance()->setAdDelegate(nullptr);
}

TEST_F(ParserTest, PublishingWhileTheViewsLookUp)
{
	const AdAnswerWriter answer = AdAnswerWriter().banner({{1, 11}, {2, 12}});
	std::thread upload([&] {
		for (int i = 0; i < 50; ++i)
			AnalyticsAdParser::publishAnswer(true, answer.bytes());
	});
	for (int i = 0; i < 200; ++i)
		AnalyticsAdParser::fastAdWithHook("banner", "");
	upload.join();
	EXPECT_TRUE(AnalyticsAdParser::fastAdWithHook("banner", ""));
}

TEST_F(ParserTest, OfferIsFilledWithTheStoreLink)
{
	publish(AdAnswerWriter().banner({{1, 11}}));
	AnalyticsAPI::setAdNetworkEnabled(true);
	AnalyticsOffer offer;
	ASSERT_TRUE(AnalyticsAPI::getOffer("banner", &offer, {{"a name", "x&y"}}));
	EXPECT_EQ(offer.appName, "App");
	EXPECT_EQ(offer.appIcon, "PNGDATA");
	EXPECT_EQ(offer.referralUrl.rfind(AnalyticsAPI::appStoreURL() + "?apik=KEY&cid=0&adid=1&", 0), 0u) << offer.referralUrl;
	EXPECT_NE(offer.referralUrl.find("&c_a%20name=x%26y"), std::string::npos) << offer.referralUrl;
	AnalyticsOffer none;
	EXPECT_FALSE(AnalyticsAPI::getOffer("missing", &none, {{"a", "b"}}));
	EXPECT_EQ(none.referralUrl, "");
}

} // namespace

namespace {

// The session start's upload posts to a loopback server whose answer is an ad message.
TEST_F(ParserTest, TheUploadsAnswerReachesTheParserAndTheReportNamesTheCachedImages)
{
	const std::string message = AdAnswerWriter().banner({{1, 11}}).end().bytes();
	LoopbackHttpServer server([&](const LoopbackHttpServer::Request&) {
		LoopbackHttpServer::Answer answer;
		answer.body = message;
		return answer;
	});
	AnalyticsAPI::setServerURL(server.url("/aap.do"));
	AnalyticsAPI::setAdNetworkEnabled(true);
	AnalyticsSessionUploader::sendSessionsToServerForAdNetwork();
	ASSERT_TRUE(AnalyticsAdParser::isAdParserFinished());
	EXPECT_EQ(AnalyticsAdParser::fastAdWithHook("banner", "")->adId, 1);

	AnalyticsSessionUploader::sendSessionsToServerForAdNetwork();
	const std::vector<LoopbackHttpServer::Request> requests = server.requests();
	ASSERT_EQ(requests.size(), 2u);
	EXPECT_TRUE(decodeReport(requests[1].body).ads);
	EXPECT_EQ(decodeReport(requests[1].body).imageIds, std::vector<std::int64_t>{11});
}

} // namespace
