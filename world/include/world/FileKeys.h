#ifndef WORLD_FILEKEYS_H
#define WORLD_FILEKEYS_H

#include <lang/Array.h>
#include <lang/String.h>

// The game's three 32-byte file keys. The data key enciphers every shipped script, table and
// level; the save key every file the game saves; the device key, tied to one machine, is only
// tried when a saved file is read. Stateless: each call builds a new key the caller owns.
class FileKeys
{
public:
	static constexpr int KEY_BYTES = 32;

	// Built at run time, so no key stands in the program as one block of bytes.
	static lang::Array<unsigned char> dataKey();
	static lang::Array<unsigned char> saveKey();
	// Byte i is dataKey[i] XOR identifier[i] for i below the shorter of the two; the rest are zero.
	static lang::Array<unsigned char> deviceKey(const lang::Array<unsigned char>& dataKey, const lang::String& identifier);
};

#endif
