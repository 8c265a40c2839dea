#ifndef IO_DATAINPUTSTREAM_H
#define IO_DATAINPUTSTREAM_H

#include <io/DataInput.h>
#include <io/FilterInputStream.h>
#include <lang/Array.h>

namespace io {

// Reads big-endian values from a stream it does not own (which must outlive it). Errors name
// the wrapped stream: "Unexpected end of file in {0}.", "Invalid UTF-8 data in {0}.".
class DataInputStream : public FilterInputStream, public DataInput
{
public:
	explicit DataInputStream(InputStream* in);

	// Both bases declare these; they pass on to the wrapped stream.
	int read(void* data, int size) override;
	int skip(int n) override;

	void readFully(void* data, int size) override;
	bool readBoolean() override;
	int readByte() override;
	char readChar() override;
	lang::String readChars(int n) override;
	double readDouble() override;
	float readFloat() override;
	int readInt() override;
	short readShort() override;
	lang::String readUTF() override;
	void readUTF(char* buffer, int size) override;

private:
	// Scratch for readUTF(); grows to the longest string read, freed with the stream.
	lang::Array<char> m_buffer;

	// Reads exactly size bytes into bytes and puts them into host order.
	void readBigEndian(void* bytes, int size);
	// The length field of a string; throws on a negative one.
	int readUTFLength();
};

} // io

#endif
