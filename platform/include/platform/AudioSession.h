#ifndef PLATFORM_AUDIOSESSION_H
#define PLATFORM_AUDIOSESSION_H

namespace platform {

// The application's audio session: on this platform nothing else competes for the sound device, so
// it only remembers what it was told. Owned by the application.
class AudioSession
{
public:
	void setActive(bool active) { m_active = active; }
	bool isActive() const { return m_active; }

private:
	bool m_active = true;
};

} // platform

#endif
