#include <pf/Locale.h>
#include <pf/LocaleImpl.h>
#include <platform/Device.h>

namespace pf
{

Locale::Locale() :
	m_impl(new LocaleImpl)
{
}

Locale::~Locale()
{
}

lang::Array<lang::String> Locale::getPreferedLanguages()
{
	return m_impl->getPreferedLanguages();
}

lang::Array<lang::String> LocaleImpl::getPreferedLanguages()
{
	lang::Array<lang::String> languages;
	for (const std::string& code : platform::Device::preferredLanguages())
		languages.add(normalize(lang::String(code.c_str(), static_cast<int>(code.size()))));
	return languages;
}

lang::String LocaleImpl::normalize(const lang::String& code)
{
	if (code.length() == 2)
		return code.toLowerCase() + lang::String("_") + code.toUpperCase();
	const lang::String result = code.replace('-', '_');
	if (result == lang::String("zh_Hans"))
		return lang::String("zh_CN");
	if (result == lang::String("zh_Hant"))
		return lang::String("zh_TW");
	return result;
}

} // pf
