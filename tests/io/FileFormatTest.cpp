#include <io/FileFormat.h>
#include <gtest/gtest.h>

namespace {

TEST(FileFormatTest, GuessesFromTheLastThreeCharacters)
{
	struct Case
	{
		const char* name;
		io::FileFormat format;
	};
	const Case cases[] = {
		{"a.bmp", io::FILEFORMAT_BMP}, {"a.tga", io::FILEFORMAT_TGA}, {"a.jpg", io::FILEFORMAT_JPG},
		{"a.dds", io::FILEFORMAT_DDS}, {"a.psd", io::FILEFORMAT_PSD}, {"a.png", io::FILEFORMAT_PNG},
		{"a.pcx", io::FILEFORMAT_PCX}, {"a.pnm", io::FILEFORMAT_PNM}, {"a.gif", io::FILEFORMAT_GIF},
		{"a.tif", io::FILEFORMAT_TIF}, {"a.ntx", io::FILEFORMAT_NTX}, {"a.pvr", io::FILEFORMAT_PVR},
		{"a.wav", io::FILEFORMAT_WAV}, {"a.mp3", io::FILEFORMAT_MP3}, {"a.hgr", io::FILEFORMAT_HGR},
		{".png", io::FILEFORMAT_UNKNOWN},
		{"xbmp", io::FILEFORMAT_UNKNOWN},
		{"", io::FILEFORMAT_UNKNOWN},
		{"IMAGE.PNG", io::FILEFORMAT_PNG},
		{"Sound.Mp3", io::FILEFORMAT_MP3},
		{"texturepvr", io::FILEFORMAT_PVR},
		{"data/levels.d/map.ntx", io::FILEFORMAT_NTX},
		{"photo.tiff", io::FILEFORMAT_UNKNOWN},
		{"photo.jpeg", io::FILEFORMAT_UNKNOWN},
		{"notes.txt", io::FILEFORMAT_UNKNOWN},
		{"a.p\xC3\xA7g", io::FILEFORMAT_UNKNOWN},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.format, io::guessFileFormat(c.name)) << c.name;
}

} // namespace
