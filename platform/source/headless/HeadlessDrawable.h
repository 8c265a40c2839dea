#ifndef PLATFORM_HEADLESSDRAWABLE_H
#define PLATFORM_HEADLESSDRAWABLE_H

#include <platform/GLContext.h>
#include <platform/HeadlessGLContext.h>
#include <cstdint>
#include <vector>

namespace platform {

class HeadlessApplication;

// The GL context of the headless application: surfaceless, its drawable only read back when a
// frame is captured. Owned by the view that draws with it.
class HeadlessDrawable : public GLContext
{
public:
	explicit HeadlessDrawable(HeadlessApplication& application);
	~HeadlessDrawable() override;

	bool makeCurrent() override;
	bool isCurrent() const override;
	void clearCurrent() override;
	bool present(unsigned texture) override;

	int presents() const { return m_presents; }
	// The last presented texture's pixels as GL reads them (rows bottom to top); empty before
	// the first present.
	std::vector<uint8_t> readPresented();

private:
	HeadlessApplication& m_application;
	HeadlessGLContext m_context;
	unsigned m_presented = 0;
	unsigned m_readFramebuffer = 0;
	int m_presents = 0;
};

} // platform

#endif
