#ifndef IO_FILEFORMAT_H
#define IO_FILEFORMAT_H

#include <lang/String.h>

namespace io {

// Kind of data a file holds, as guessed from its name; the readers dispatch on these values.
enum FileFormat
{
	FILEFORMAT_UNKNOWN = 0,
	FILEFORMAT_BMP = 1,
	FILEFORMAT_TGA = 2,
	FILEFORMAT_JPG = 3,
	FILEFORMAT_DDS = 4,
	FILEFORMAT_PSD = 5,
	FILEFORMAT_PNG = 6,
	FILEFORMAT_PCX = 7,
	FILEFORMAT_PNM = 8,
	FILEFORMAT_GIF = 9,
	FILEFORMAT_TIF = 10,
	FILEFORMAT_NTX = 11,
	FILEFORMAT_PVR = 12,
	FILEFORMAT_WAV = 13,
	FILEFORMAT_MP3 = 14,
	FILEFORMAT_HGR = 15
};

// The format named by the last three characters of name, in any letter case; names shorter
// than 5 characters and unknown extensions give FILEFORMAT_UNKNOWN. Never throws.
FileFormat guessFileFormat(const lang::String& name);

} // io

#endif
