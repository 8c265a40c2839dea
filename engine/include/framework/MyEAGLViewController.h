#ifndef FRAMEWORK_MYEAGLVIEWCONTROLLER_H
#define FRAMEWORK_MYEAGLVIEWCONTROLLER_H

#include <platform/Responder.h>
#include <cstdint>

namespace gr
{
class Context;
}

class MyEAGLView;

/**
 * The GL view's controller: turns the platform's touches into touch events of the application,
 * mapped by the rendering device's orientation, emulates the mouse with the first finger, and
 * passes keys and the wheel on. Created and owned by the application delegate; borrows the view
 * and the device.
 */
class MyEAGLViewController : public platform::Responder
{
public:
	MyEAGLViewController(MyEAGLView* view, bool contentScaleFactorSupported);

	void setEngineContext(gr::Context* context)				{ m_grContext = context; }
	/** Forgets the mouse's finger (on every start and stop of the frame loop). */
	void resetTouches()										{ m_hasSingleTouch = false; }
	/** The game turns its own picture. */
	bool shouldAutorotateToInterfaceOrientation(int) const	{ return false; }

	void touchesBegan(const std::vector<platform::Touch>& touches);
	void touchesMoved(const std::vector<platform::Touch>& touches);
	void touchesEnded(const std::vector<platform::Touch>& touches);
	void touchesCancelled(const std::vector<platform::Touch>& touches);

	void touches(platform::TouchPhase phase, const std::vector<platform::Touch>& changed) override;
	void key(const std::string& name, bool down) override;
	void wheel(int delta) override;

	MyEAGLView* view() const								{ return m_view; }
	/** The system scales content for high-density screens (version 4.0 on). */
	bool contentScaleFactorSupported() const				{ return m_contentScaleFactorSupported; }

private:
	void handle(platform::TouchPhase phase, const std::vector<platform::Touch>& touches);

	MyEAGLView* m_view;
	gr::Context* m_grContext;
	bool m_contentScaleFactorSupported;
	bool m_hasSingleTouch;
	std::uintptr_t m_singleTouch;
};

#endif
