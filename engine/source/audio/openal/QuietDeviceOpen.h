#ifndef AUDIO_QUIETDEVICEOPEN_H
#define AUDIO_QUIETDEVICEOPEN_H

namespace audio {

// While alive, keeps the sound libraries from printing their own errors while the calling thread
// opens the default device: on a machine without one they print about ten lines that say no more
// than the output's own notice. OpenAL's messages are quieted through its ALSOFT_LOGLEVEL (read
// once, at its first use, so it stays quiet for the process), ALSA's through its error handler of
// the calling thread; both are put back as they were at the end. With the debug log on, or with
// ALSOFT_LOGLEVEL set by the user, the libraries speak as usual. One scope at a time, on the
// thread that opens the device.
class QuietDeviceOpen
{
public:
	QuietDeviceOpen();
	~QuietDeviceOpen();

private:
	bool m_logLevelSet;
	// The ALSA library while its thread's error handler is replaced, else null.
	void* m_alsa;
	void* m_previousAlsaHandler;

	QuietDeviceOpen(const QuietDeviceOpen&) = delete;
	QuietDeviceOpen& operator=(const QuietDeviceOpen&) = delete;
};

} // audio

#endif
