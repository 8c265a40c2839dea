#ifndef WORLD_ENCIPHEREDFILE_H
#define WORLD_ENCIPHEREDFILE_H

#include <lang/Array.h>

namespace io { class ByteArrayInputStream; class InputStream; }

// Reading of the game's enciphered files: each is read whole into memory and deciphered in one
// call, never streamed. Stateless.
class EncipheredFile
{
public:
	// Every byte the stream has left (its available() count).
	static lang::Array<unsigned char> readAll(io::InputStream* in);
	// Puts the plain bytes of ciphertext under key into plain, rewound. Throws
	// io::DataCorruptedException "it does not decipher under the {keyName} key" when they do not.
	static void decipher(const lang::Array<unsigned char>& key, const char* keyName, const lang::Array<unsigned char>& ciphertext, io::ByteArrayInputStream& plain);
};

#endif
