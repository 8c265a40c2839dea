#include <platform/UrlOpener.h>
#include <gtest/gtest.h>

using platform::UrlOpener;

TEST(UrlOpener, AcceptsOnlyUrlsThatCannotBeTakenForOptions)
{
	EXPECT_TRUE(UrlOpener::acceptable("https://example.org/a?b=c;d"));
	EXPECT_TRUE(UrlOpener::acceptable("itms-apps://x/$(rm -rf ~)"));
	EXPECT_FALSE(UrlOpener::acceptable(""));
	EXPECT_FALSE(UrlOpener::acceptable("--help"));
	EXPECT_FALSE(UrlOpener::acceptable("http://a\nb"));
	EXPECT_FALSE(UrlOpener::open("-x"));
}
