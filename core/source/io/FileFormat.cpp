#include <io/FileFormat.h>
#include <cctype>
#include <cstring>

namespace io {

namespace {
// Extensions in the order of their FileFormat values, starting at FILEFORMAT_BMP.
const char* const EXTENSIONS[] = {
	"bmp", "tga", "jpg", "dds", "psd", "png", "pcx", "pnm", "gif", "tif", "ntx", "pvr", "wav", "mp3", "hgr"
};
// Names shorter than this are never recognised.
constexpr int MIN_NAME_LENGTH = 5;
constexpr int EXTENSION_LENGTH = 3;
}

FileFormat guessFileFormat(const lang::String& name)
{
	if (name.length() < MIN_NAME_LENGTH)
		return FILEFORMAT_UNKNOWN;
	char extension[EXTENSION_LENGTH + 1] = {};
	name.getChars(name.length() - EXTENSION_LENGTH, name.length(), extension);
	for (char& c : extension)
		if (c >= 'A' && c <= 'Z')
			c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
	for (int i = 0; i < static_cast<int>(sizeof(EXTENSIONS) / sizeof(EXTENSIONS[0])); ++i)
		if (std::strcmp(extension, EXTENSIONS[i]) == 0)
			return static_cast<FileFormat>(FILEFORMAT_BMP + i);
	return FILEFORMAT_UNKNOWN;
}

} // io
