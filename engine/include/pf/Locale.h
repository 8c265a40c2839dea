#ifndef PF_LOCALE_H
#define PF_LOCALE_H

#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace pf
{

class LocaleImpl;

/** The user's language preferences; owns its implementation. */
class Locale : public lang::Object
{
public:
	Locale();
	~Locale();

	/** Most preferred first, as locale names (en_EN, fr_FR, zh_TW, pt_PT, en_GB). */
	lang::Array<lang::String> getPreferedLanguages();

private:
	lang::Ptr<LocaleImpl> m_impl;
};

} // pf

#endif
