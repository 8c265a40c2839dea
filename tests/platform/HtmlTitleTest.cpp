#include <platform/HtmlTitle.h>
#include <gtest/gtest.h>

using platform::HtmlTitle;

TEST(HtmlTitle, ReadsTheTitleAsABrowserShowsIt)
{
	const std::pair<const char*, const char*> cases[] = {
		{"<html><head><title>News</title></head></html>", "News"},
		{"<TITLE lang=\"en\">\n  Big\t  news \n</Title>", "Big news"},
		{"<title>Fish &amp; chips &lt;3 &#65;&#x42; &bogus; & done</title>", "Fish & chips <3 AB &bogus; & done"},
		{"<title>caf&#233;</title>", "caf\xC3\xA9"},
		{"<titles>no</titles><title>yes</title>", "yes"},
		{"<title>unterminated", "unterminated"},
		{"<title></title>", ""},
		{"no title here", ""},
		{"<title", ""},
		{"<title>&#0;&#x110000;</title>", "\xEF\xBF\xBD\xEF\xBF\xBD"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.second, HtmlTitle::extract(c.first)) << c.first;
}
