#ifndef IO_DATAINPUT_H
#define IO_DATAINPUT_H

#include <lang/String.h>

namespace io {

// Typed reads of a big-endian byte stream. An interface only: nobody owns or deletes through it.
class DataInput
{
public:
	virtual int skip(int n) = 0;
	virtual int read(void* data, int size) = 0;
	// Reads exactly size bytes or throws io::IOException.
	virtual void readFully(void* data, int size) = 0;
	virtual bool readBoolean() = 0;
	// One byte, 0 to 255.
	virtual int readByte() = 0;
	// One byte, -128 to 127.
	virtual char readChar() = 0;
	// n single bytes; a zero byte ends the text of the 249-byte piece it lies in.
	virtual lang::String readChars(int n) = 0;
	virtual double readDouble() = 0;
	virtual float readFloat() = 0;
	virtual int readInt() = 0;
	virtual short readShort() = 0;
	// A signed 16-bit byte count followed by that many UTF-8 bytes.
	virtual lang::String readUTF() = 0;
	// The same layout stored undecoded into buffer with a terminating zero.
	virtual void readUTF(char* buffer, int size) = 0;

protected:
	~DataInput() = default;
};

} // io

#endif
