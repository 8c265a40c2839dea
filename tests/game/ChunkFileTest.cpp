#include "GameTestFiles.h"
#include "support/RecordingContext.h"
#include <game/CompoSpriteSet.h>
#include <game/SpriteProvider.h>
#include <game/SpriteSheet.h>
#include <io/IOException.h>
#include <gtest/gtest.h>

namespace
{

class ChunkFile : public ::testing::Test
{
protected:
	TempDir dir;
	RecordingContext context;

	/** The message of the io::IOException that reading the bytes as a sheet throws. */
	std::string sheetError(const ChunkWriter& bytes)
	{
		const std::string path = dir.write("sheet.chnk", bytes);
		try
		{
			game::SpriteSheet sheet(&context, path.c_str());
		}
		catch (const io::IOException& e)
		{
			return e.getMessage().format().c_str();
		}
		return "no error";
	}

	std::string malformed() const						{ return "Malformed CHNK file: " + dir.file("sheet.chnk"); }

	lang::Ptr<game::SpriteSheet> readSheet(const ChunkWriter& bytes)
	{
		return new game::SpriteSheet(&context, dir.write("sheet.chnk", bytes).c_str());
	}
};

ChunkWriter oneSprite(const std::string& name)
{
	return sheetBody("i.png", {{name, 1, 2, 3, 4, 0, 0}});
}

TEST_F(ChunkFile, SmallestSpriteSheetIs42Bytes)
{
	const ChunkWriter file = singleChunkFile("SPRT", sheetBody("a.png", {{"s", 1, 2, 3, 4, 5, 6}}));
	ASSERT_EQ(42, file.size());
	const lang::Ptr<game::SpriteSheet> sheet = readSheet(file);
	EXPECT_EQ(1, sheet->getSprites().size());
	const game::Sprite* s = sheet->getSprite("s");
	ASSERT_NE(nullptr, s);
	EXPECT_EQ(std::vector<int>({1, 2, 3, 4, 5, 6}), std::vector<int>({s->getPositionInSheetX(), s->getPositionInSheetY(),
		s->getWidth(), s->getHeight(), s->getPivotX(), s->getPivotY()}));
	EXPECT_EQ(std::vector<std::string>{dir.file("a.png")}, context.createdImages);
}

// The length is only checked: a shorter one still lets the chunks be read to the end of the data.
TEST_F(ChunkFile, ContainerLengthMayNotExceedTheBytesAfterIt)
{
	ChunkWriter chunks;
	chunks.chunk("SPRT", versioned(oneSprite("s")));
	const int n = chunks.size();
	struct Case { int length; bool accepted; };
	for (const Case c : {Case{n + 1, false}, Case{n, true}, Case{n - 5, true}, Case{0, true}, Case{-1, false}})
	{
		SCOPED_TRACE(c.length);
		ChunkWriter file;
		file.tag("CHNK").int32(c.length).raw(chunks);
		if (c.accepted)
			EXPECT_NE(nullptr, readSheet(file)->getSprite("s"));
		else
			EXPECT_EQ(malformed(), sheetError(file));
	}
}

TEST_F(ChunkFile, EmptyContainerGivesAnEmptySheet)
{
	const lang::Ptr<game::SpriteSheet> sheet = readSheet(ChunkWriter::file(ChunkWriter()));
	EXPECT_EQ(nullptr, sheet->getImage());
	EXPECT_EQ(0, sheet->getSprites().size());
}

TEST_F(ChunkFile, OtherTagsAndOtherVersionsArePassedOverBySize)
{
	ChunkWriter junk;
	junk.int32(0x7F7F7F7F).raw("xyz");
	ChunkWriter chunks;
	chunks.chunk("FONT", junk)
		.chunk("SPRT", versioned(oneSprite("v2"), 2))
		.chunk("SPRT", versioned(oneSprite("v1")))
		.chunk("ABCD", ChunkWriter());
	const lang::Ptr<game::SpriteSheet> sheet = readSheet(ChunkWriter::file(chunks));
	EXPECT_EQ(nullptr, sheet->getSprite("v2"));
	EXPECT_NE(nullptr, sheet->getSprite("v1"));
}

TEST_F(ChunkFile, RepeatedChunksAreAllReadInOrder)
{
	ChunkWriter chunks;
	chunks.chunk("SPRT", versioned(sheetBody("first.png", {{"a", 0, 0, 1, 1, 0, 0}, {"b", 0, 0, 1, 1, 0, 0}})))
		.chunk("SPRT", versioned(sheetBody("second.png", {{"a", 9, 0, 1, 1, 0, 0}})));
	const lang::Ptr<game::SpriteSheet> sheet = readSheet(ChunkWriter::file(chunks));
	EXPECT_EQ(2, sheet->getSprites().size());
	EXPECT_EQ(9, sheet->getSprite("a")->getPositionInSheetX());
	EXPECT_STREQ(dir.file("second.png").c_str(), static_cast<RecordingImage*>(sheet->getImage())->name().c_str());
}

// A chunk size must neither move backwards (a size of -8 would revisit the same header forever)
// nor run past the data, whichever reader passes over it.
TEST_F(ChunkFile, ChunkSizeOutsideTheDataIsMalformed)
{
	for (const int size : {-8, -1, INT32_MIN, 4, 1000})
	{
		SCOPED_TRACE(size);
		ChunkWriter chunks;
		chunks.tag("JUNK").int32(size).raw("abc");
		EXPECT_EQ(malformed(), sheetError(ChunkWriter::file(chunks)));
	}
}

TEST_F(ChunkFile, OtherVersionShorterThanItsVersionFieldIsMalformed)
{
	ChunkWriter chunks;
	chunks.tag("SPRT").int32(0).int16(2);
	EXPECT_EQ(malformed(), sheetError(ChunkWriter::file(chunks)));
}

TEST_F(ChunkFile, TruncatedPayloadEndsWithTheStreamsEndOfFileNamingTheFile)
{
	ChunkWriter body = oneSprite("s");
	ChunkWriter cut;
	cut.raw(std::string(body.bytes().begin(), body.bytes().end() - 3));
	EXPECT_EQ("Unexpected end of file in " + dir.file("sheet.chnk") + ".", sheetError(singleChunkFile("SPRT", cut)));
}

TEST_F(ChunkFile, HeaderlessSheetIsTheBodyAlone)
{
	const lang::Ptr<game::SpriteSheet> sheet = readSheet(oneSprite("plain"));
	EXPECT_NE(nullptr, sheet->getSprite("plain"));
}

TEST_F(ChunkFile, MissingFileAndMissingImagePassThrough)
{
	EXPECT_THROW(game::SpriteSheet(&context, dir.file("absent.chnk").c_str()), io::FileNotFoundException);
	context.missingFiles.insert(dir.file("i.png"));
	EXPECT_THROW(readSheet(singleChunkFile("SPRT", oneSprite("s"))), io::FileNotFoundException);
}

class NoSprites : public game::SpriteProvider
{
public:
	game::Sprite* getSprite(const lang::String&) override	{ return nullptr; }
};

TEST_F(ChunkFile, CompositeSetNeedsTheContainer)
{
	NoSprites provider;
	ChunkWriter headerless;
	headerless.int16(1).int16(0);
	const std::string path = dir.write("compo.chnk", headerless);
	try
	{
		game::CompoSpriteSet set(path.c_str(), &provider);
		FAIL() << "headerless composite set accepted";
	}
	catch (const io::IOException& e)
	{
		EXPECT_STREQ(("Malformed CHNK file: " + path).c_str(), e.getMessage().format().c_str());
	}
	lang::Ptr<game::CompoSpriteSet> empty = new game::CompoSpriteSet(dir.write("compo.chnk", ChunkWriter::file(ChunkWriter())).c_str(), &provider);
	EXPECT_EQ(0, empty->getCompoSprites().size());
}

} // namespace
