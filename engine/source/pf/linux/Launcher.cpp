#include <pf/Launcher.h>
#include <pf/LauncherImpl.h>
#include <platform/Application.h>
#include <platform/UrlOpener.h>

namespace pf
{

Launcher::Launcher() :
	m_impl(new LauncherImpl)
{
}

Launcher::~Launcher()
{
}

bool Launcher::openURL(const lang::String& url)
{
	return m_impl->openURL(url);
}

bool LauncherImpl::openURL(const lang::String& url)
{
	const std::string text(url.c_str(), static_cast<size_t>(url.length()));
	platform::Application* application = platform::Application::shared();
	return application ? application->openURL(text) : platform::UrlOpener::open(text);
}

} // pf
