#ifndef TESTS_SUPPORT_RECORDINGDEVICE_H
#define TESTS_SUPPORT_RECORDINGDEVICE_H

#include "RecordingGL.h"
#include <gr/ogles/EGL_Context.h>
#include <lang/Ptr.h>

/**
 * A rendering device over the recording GL stand-in: no GL context needed, every GL call the
 * device makes lands in gl.calls. Owns both; the device goes first.
 */
struct RecordingDevice
{
	RecordingGL gl;
	lang::Ptr<gr::EGL_Context> device;

	explicit RecordingDevice(int width = 1024, int height = 768, gr::Context::OrientationType orientation = gr::Context::ORIENTATION_0) :
		device(gr::EGL_createContext(width, height, orientation, nullptr))
	{
		gl.clear();
	}

	~RecordingDevice()										{ device = nullptr; }
};

#endif
