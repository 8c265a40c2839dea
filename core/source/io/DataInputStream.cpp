#include <io/DataInputStream.h>
#include <io/IOException.h>
#include <lang/UTFConverter.h>
#include <cstring>

namespace io {

namespace {
// readChars collects bytes in pieces of this many before appending them to the result.
constexpr int CHARS_PIECE_LENGTH = 249;

bool isHostLittleEndian()
{
	const unsigned short probe = 1;
	unsigned char first;
	std::memcpy(&first, &probe, 1);
	return first == 1;
}
}

DataInputStream::DataInputStream(InputStream* in) :
	FilterInputStream(in)
{
}

int DataInputStream::read(void* data, int size)
{
	return FilterInputStream::read(data, size);
}

int DataInputStream::skip(int n)
{
	return FilterInputStream::skip(n);
}

void DataInputStream::readFully(void* data, int size)
{
	if (read(data, size) != size)
		lang::throwError(IOException(lang::Format("Unexpected end of file in {0}.", toString())));
}

void DataInputStream::readBigEndian(void* bytes, int size)
{
	readFully(bytes, size);
	if (isHostLittleEndian())
	{
		unsigned char* b = static_cast<unsigned char*>(bytes);
		for (int i = 0; i < size / 2; ++i)
		{
			const unsigned char t = b[i];
			b[i] = b[size - 1 - i];
			b[size - 1 - i] = t;
		}
	}
}

bool DataInputStream::readBoolean()
{
	return readByte() != 0;
}

int DataInputStream::readByte()
{
	unsigned char b;
	readFully(&b, 1);
	return b;
}

char DataInputStream::readChar()
{
	return static_cast<char>(static_cast<signed char>(readByte()));
}

lang::String DataInputStream::readChars(int n)
{
	lang::String result;
	char piece[CHARS_PIECE_LENGTH + 1];
	int pieceLength = 0;
	for (int i = 0; i < n; ++i)
	{
		piece[pieceLength++] = readChar();
		if (pieceLength == CHARS_PIECE_LENGTH || i == n - 1)
		{
			piece[pieceLength] = 0;
			result.append(piece);
			pieceLength = 0;
		}
	}
	return result;
}

double DataInputStream::readDouble()
{
	double value;
	readBigEndian(&value, sizeof(value));
	return value;
}

float DataInputStream::readFloat()
{
	float value;
	readBigEndian(&value, sizeof(value));
	return value;
}

int DataInputStream::readInt()
{
	int value;
	readBigEndian(&value, sizeof(value));
	return value;
}

short DataInputStream::readShort()
{
	short value;
	readBigEndian(&value, sizeof(value));
	return value;
}

int DataInputStream::readUTFLength()
{
	const int length = readShort();
	if (length < 0)
		lang::throwError(IOException(lang::Format("Invalid UTF-8 data in {0}.", toString())));
	return length;
}

lang::String DataInputStream::readUTF()
{
	const int length = readUTFLength();
	if (length == 0)
		return lang::String();
	if (m_buffer.size() < length + 1)
		m_buffer.resize(length + 1, 0);
	readFully(m_buffer.begin(), length);
	return lang::String(m_buffer.begin(), length, lang::UTFConverter(lang::UTFConverter::ENCODING_UTF8));
}

void DataInputStream::readUTF(char* buffer, int size)
{
	const int length = readUTFLength();
	if (size <= length)
		lang::throwError(IOException(lang::Format("Too small buffer ({0}) for UTF-8 data in {1}.", size, toString())));
	readFully(buffer, length);
	buffer[length] = 0;
}

} // io
