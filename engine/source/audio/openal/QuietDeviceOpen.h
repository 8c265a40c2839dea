#ifndef AUDIO_QUIETDEVICEOPEN_H
#define AUDIO_QUIETDEVICEOPEN_H

namespace audio {

// While alive, keeps the sound libraries from printing their own errors while the calling thread
// opens the default device: on a machine without one they print about ten lines that say no more
// than the output's own notice. OpenAL reads its ALSOFT_LOGLEVEL once, at its first open, so the
// first scope of the process offers it "0" for that open; ALSA's messages are quieted through its
// error handler of the calling thread in every scope; both are put back as they were at the end.
// The environment is never changed in place, since other threads (name lookups of the uploads)
// read it at any time: the scope points the process at a copy with the variable added, and back.
// With the debug log on, or with ALSOFT_LOGLEVEL set by the user, the libraries speak as usual.
// One scope at a time, on the thread that opens the device.
class QuietDeviceOpen
{
public:
	QuietDeviceOpen();
	~QuietDeviceOpen();

private:
	// The environment the scope replaced with the quiet copy, else null.
	char** m_userEnvironment;
	// The ALSA library while its thread's error handler is replaced, else null.
	void* m_alsa;
	void* m_previousAlsaHandler;

	QuietDeviceOpen(const QuietDeviceOpen&) = delete;
	QuietDeviceOpen& operator=(const QuietDeviceOpen&) = delete;
};

} // audio

#endif
