#include <lang/Throwable.h>
#include <lang/Debug.h>
#include <cstdio>

namespace lang {

namespace {

// Buffer of the debug line's message text (bytes); longer messages are cut in the log only.
constexpr int DEBUG_MESSAGE_SIZE = 256;

} // namespace

Throwable::Throwable(const Format& message) : m_message(message)
{
	char text[DEBUG_MESSAGE_SIZE];
	m_message.format(text, DEBUG_MESSAGE_SIZE);
	Debug::printf("Created Throwable( \"%s\" )\n", text);
}

void Throwable::showExceptionDialog() const
{
	std::printf("EXCEPTION: %s\n", m_message.format().c_str());
}

} // lang
