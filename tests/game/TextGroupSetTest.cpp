#include "GameTestFiles.h"
#include <game/TextGroupSet.h>
#include <io/IOException.h>
#include <lang/Exception.h>
#include <gtest/gtest.h>

namespace
{

/** A text chunk file: the TEXT chunk's version, then the sub-chunks up to the end of the data. */
ChunkWriter textFile(const ChunkWriter& subChunks)
{
	ChunkWriter payload;
	payload.int16(1).raw(subChunks);
	ChunkWriter chunks;
	return ChunkWriter::file(chunks.chunk("TEXT", payload));
}

/** The older layout: flag, language block, keys, offsets, then each language's texts. */
ChunkWriter headerlessText(const std::vector<std::string>& languages, const std::vector<std::string>& keys,
	const std::vector<std::vector<std::string>>& textsByLanguage)
{
	ChunkWriter block;
	block.int8(static_cast<int>(languages.size())).raw(texts(languages));
	ChunkWriter out;
	out.int8(0).int32(block.size()).raw(block).raw(stringList(keys));
	int before = 0;
	for (size_t i = 0; i < languages.size(); ++i)
	{
		const int laterOffsets = 4 * static_cast<int>(languages.size() - 1 - i);
		out.int32(laterOffsets + before);
		before += texts(textsByLanguage[i]).size();
	}
	for (const auto& t : textsByLanguage)
		out.raw(texts(t));
	return out;
}

class TextGroupSet : public ::testing::Test
{
protected:
	TempDir dir;

	lang::Ptr<game::TextGroupSet> open(const ChunkWriter& bytes)
	{
		lang::Ptr<game::TextGroupSet> set = new game::TextGroupSet(dir.write("texts.chnk", bytes).c_str());
		set->loadLocaleCodes();
		return set;
	}

	/** Languages "en" and "fi", keys "title" and "quit". */
	lang::Ptr<game::TextGroupSet> openEnglishFinnish()
	{
		ChunkWriter sub;
		sub.chunk("LDAT", stringList({"en", "fi"}))
			.chunk("LIDS", stringList({"title", "quit"}))
			.chunk("TXGP", texts({"Game", "Quit"}))
			.chunk("TXGP", texts({"Peli", "Lopeta"}));
		return open(textFile(sub));
	}

	template <class E, class F>
	static std::string errorOf(F f)
	{
		try
		{
			f();
		}
		catch (const E& e)
		{
			return e.getMessage().format().c_str();
		}
		return "no error";
	}
};

std::vector<std::string> languagesOf(const game::TextGroupSet& set)
{
	std::vector<std::string> out;
	for (const lang::String& s : set.getLanguages())
		out.push_back(s.c_str());
	return out;
}

TEST_F(TextGroupSet, LoadsTheTextsOfOneLanguage)
{
	lang::Ptr<game::TextGroupSet> set = openEnglishFinnish();
	EXPECT_EQ(std::vector<std::string>({"en", "fi"}), languagesOf(*set));
	game::TextGroup* fi = set->loadTextGroup("fi");
	ASSERT_NE(nullptr, fi);
	EXPECT_STREQ("Peli", fi->get("title").c_str());
	EXPECT_STREQ("Lopeta", fi->get("quit").c_str());
	EXPECT_STREQ("missing", fi->get("missing").c_str());
	EXPECT_EQ(3, fi->getTexts().size());
	EXPECT_EQ(fi, set->getTextGroup("fi"));
}

TEST_F(TextGroupSet, AllLoadsAndReleasesEveryLanguage)
{
	lang::Ptr<game::TextGroupSet> set = openEnglishFinnish();
	game::TextGroup* en = set->loadTextGroup("ALL");
	ASSERT_NE(nullptr, en);
	EXPECT_STREQ("Game", en->get("title").c_str());
	EXPECT_EQ(en, set->getTextGroup("en"));
	EXPECT_STREQ("Peli", set->getTextGroup("fi")->get("title").c_str());

	set->releaseTextGroup("ALL");
	EXPECT_EQ("Trying to get TextGroup for language which is not loaded. Language: \"en\"",
		errorOf<lang::Exception>([&] { set->getTextGroup("en"); }));
	set->releaseTextGroup("fi");
}

TEST_F(TextGroupSet, LanguagesOutsideTheFileAreRefused)
{
	lang::Ptr<game::TextGroupSet> set = openEnglishFinnish();
	EXPECT_EQ("Trying to get TextGroup for language not present in data file. Language: \"de\"",
		errorOf<lang::Exception>([&] { set->getTextGroup("de"); }));
	EXPECT_EQ("Trying to load TextGroup for language not present in data file. Language: \"EN\"",
		errorOf<lang::Exception>([&] { set->loadTextGroup("EN"); }));
	EXPECT_EQ("Trying to release TextGroup for language not present in data file. Language: \"e\"",
		errorOf<lang::Exception>([&] { set->releaseTextGroup("e"); }));
}

TEST_F(TextGroupSet, LoadingAgainReplacesTheGroupWhileHeldOnesStayValid)
{
	lang::Ptr<game::TextGroupSet> set = openEnglishFinnish();
	const lang::Ptr<game::TextGroup> first = set->loadTextGroup("en");
	game::TextGroup* second = set->loadTextGroup("en");
	EXPECT_NE(first.ptr(), second);
	EXPECT_EQ(second, set->getTextGroup("en"));
	EXPECT_STREQ("Quit", first->get("quit").c_str());
}

TEST_F(TextGroupSet, TextsNeedTheirKeysFirst)
{
	struct Case { const char* name; ChunkWriter sub; };
	ChunkWriter beforeKeys;
	beforeKeys.chunk("LDAT", stringList({"en", "fi"})).chunk("TXGP", texts({"x"})).chunk("LIDS", stringList({"k"})).chunk("TXGP", texts({"y"}));
	ChunkWriter noKeys;
	noKeys.chunk("LDAT", stringList({"en", "fi"})).chunk("LIDS", stringList({})).chunk("TXGP", ChunkWriter()).chunk("TXGP", ChunkWriter());
	for (const Case& c : {Case{"TXGP before LIDS", beforeKeys}, Case{"LIDS of 0 keys", noKeys}})
	{
		SCOPED_TRACE(c.name);
		lang::Ptr<game::TextGroupSet> set = open(textFile(c.sub));
		EXPECT_EQ("Missing LIDS chunk before TXGP chunk in file " + dir.file("texts.chnk"),
			errorOf<io::IOException>([&] { set->loadTextGroup("fi"); }));
		EXPECT_EQ("Trying to get TextGroup for language which is not loaded. Language: \"fi\"",
			errorOf<lang::Exception>([&] { set->getTextGroup("fi"); }));
	}
}

TEST_F(TextGroupSet, LanguageWithoutItsTextsLoadsNothing)
{
	ChunkWriter sub;
	sub.chunk("LDAT", stringList({"en", "fi", "sv"})).chunk("LIDS", stringList({"k"})).chunk("TXGP", texts({"one"}));
	lang::Ptr<game::TextGroupSet> set = open(textFile(sub));
	EXPECT_EQ(nullptr, set->loadTextGroup("sv"));
	EXPECT_THROW(set->getTextGroup("sv"), lang::Exception);
	EXPECT_NE(nullptr, set->loadTextGroup("en"));
}

// The TEXT chunk's own size covers only its first sub-chunks: everything after it, top-level
// chunks of other tags included, is read as its sub-chunks.
TEST_F(TextGroupSet, SubChunksRunToTheEndOfTheDataPastOtherTags)
{
	ChunkWriter inside;
	inside.chunk("LDAT", stringList({"xx"}))
		.chunk("LIDS", stringList({"a", "a", "b"}));
	ChunkWriter after;
	after.chunk("LDAT", stringList({"en"}))
		.chunk("SPRT", texts({"junk"}))
		.chunk("TXGP", texts({"first", "second", "bee"}));
	ChunkWriter chunks;
	chunks.chunk("FONT", ChunkWriter()).chunk("TEXT", versioned(ChunkWriter(), 2));
	ChunkWriter file = ChunkWriter::file(chunks.chunk("TEXT", versioned(inside)).raw(after));
	lang::Ptr<game::TextGroupSet> set = open(file);
	EXPECT_EQ(std::vector<std::string>({"en"}), languagesOf(*set));
	game::TextGroup* en = set->loadTextGroup("en");
	ASSERT_NE(nullptr, en);
	EXPECT_STREQ("second", en->get("a").c_str());
	EXPECT_STREQ("bee", en->get("b").c_str());
}

TEST_F(TextGroupSet, FileWithoutLanguageListKeepsTheKnownOne)
{
	ChunkWriter sub;
	sub.chunk("LDAT", stringList({"en"}));
	lang::Ptr<game::TextGroupSet> set = open(textFile(sub));
	dir.write("texts.chnk", ChunkWriter::file(ChunkWriter()));
	set->loadLocaleCodes();
	EXPECT_EQ(std::vector<std::string>({"en"}), languagesOf(*set));
	EXPECT_EQ(nullptr, set->loadTextGroup("en"));
}

TEST_F(TextGroupSet, HeaderlessFileFindsEachLanguageByItsOffset)
{
	lang::Ptr<game::TextGroupSet> set = open(headerlessText({"en", "fi", "sv"}, {"yes", "no"},
		{{"Yes", "No"}, {"Kyllä", "Ei"}, {"Ja", "Nej"}}));
	EXPECT_EQ(std::vector<std::string>({"en", "fi", "sv"}), languagesOf(*set));
	EXPECT_STREQ("Nej", set->loadTextGroup("sv")->get("no").c_str());
	EXPECT_STREQ("Kyllä", set->loadTextGroup("fi")->get("yes").c_str());
	EXPECT_STREQ("Yes", set->loadTextGroup("en")->get("yes").c_str());
}

// The language block length and the per-language offsets move the position: a negative one or one
// past the data is refused instead of reading before or after the file's bytes.
TEST_F(TextGroupSet, HeaderlessLengthsOutsideTheDataAreMalformed)
{
	const ChunkWriter good = headerlessText({"en"}, {"k"}, {{"v"}});
	const int offsetAt = good.size() - 4 - 3;
	struct Case { int at; int value; };
	for (const Case c : {Case{1, -5}, Case{1, 10000}, Case{offsetAt, -4}, Case{offsetAt, -100}, Case{offsetAt, 4}})
	{
		SCOPED_TRACE(testing::Message() << c.at << ": " << c.value);
		std::vector<uint8_t> bytes = good.bytes();
		for (int i = 0; i < 4; ++i)
			bytes[c.at + i] = static_cast<uint8_t>(static_cast<uint32_t>(c.value) >> (24 - 8 * i));
		ChunkWriter bad;
		bad.raw(std::string(bytes.begin(), bytes.end()));
		lang::Ptr<game::TextGroupSet> set = open(bad);
		EXPECT_EQ("Malformed CHNK file: " + dir.file("texts.chnk"), errorOf<io::IOException>([&] { set->loadTextGroup("en"); }));
	}
}

TEST_F(TextGroupSet, NegativeContainerLengthIsAcceptedForTexts)
{
	ChunkWriter sub;
	sub.chunk("LDAT", stringList({"en"}));
	ChunkWriter chunks;
	chunks.chunk("TEXT", versioned(sub));
	ChunkWriter file;
	file.tag("CHNK").int32(-1).raw(chunks);
	EXPECT_EQ(std::vector<std::string>({"en"}), languagesOf(*open(file)));
}

} // namespace
