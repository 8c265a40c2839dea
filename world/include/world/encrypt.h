#ifndef WORLD_ENCRYPT_H
#define WORLD_ENCRYPT_H

#include <lang/Array.h>

// Whole-buffer AES-256-CBC for the game's files: zero initialisation vector, PKCS#7 padding, no
// header. A key shorter than 32 bytes is padded with zero bytes, a longer one cut to 32 bytes.
// Stateless; the output is overwritten, and after a failure it holds input length + 16 bytes
// that mean nothing.

// True when out holds the ciphertext: the input rounded up to the next whole 16-byte block,
// one whole block more when the input is already whole blocks.
bool encrypt(const lang::Array<unsigned char>& key, const lang::Array<unsigned char>& data, lang::Array<unsigned char>& out);

// True when out holds the plain bytes. False for an input that is not whole blocks or whose
// padding does not check out, as a wrong key usually gives (by chance a wrong key can pass).
bool decrypt(const lang::Array<unsigned char>& key, const lang::Array<unsigned char>& data, lang::Array<unsigned char>& out);

#endif
