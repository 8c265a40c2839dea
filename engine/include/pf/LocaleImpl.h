#ifndef PF_LOCALEIMPL_H
#define PF_LOCALEIMPL_H

#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/String.h>

namespace pf
{

/** Reads the user's preferred languages from the platform; held by its handle. */
class LocaleImpl : public lang::Object
{
public:
	lang::Array<lang::String> getPreferedLanguages();

	/** A platform language code as the localised text files name it (fr gives fr_FR, zh-Hant gives zh_TW). */
	static lang::String normalize(const lang::String& code);
};

} // pf

#endif
