#ifndef PF_DEVICEIDIMPL_H
#define PF_DEVICEIDIMPL_H

#include <lang/Object.h>
#include <lang/String.h>

namespace pf
{

/** The symbol table of the identifier's encoding (66 characters, only the first 64 used). */
extern const char base64Codes[];

/** Derives the printable device identifier; held by its handle. */
class DeviceIDImpl : public lang::Object
{
public:
	lang::String getDeviceIDHash();

	/** The identifier's encoding of a platform identifier: its SHA-1 digest, zero-padded to the identifier's length rounded up to a multiple of 3, four symbols per three bytes. */
	static lang::String hash(const lang::String& identifier);
};

} // pf

#endif
