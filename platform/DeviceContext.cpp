#include "platform/DeviceContext.h"

#include "platform/FixedPitchDC.h"

namespace {

// Without a window system the desktop measures in fixed cells.
class DefaultDesktopDCProvider : public DesktopDCProvider {
public:
    CDC* GetDC() override { return new FixedPitchDC(); }
    void ReleaseDC(CDC* dc) override { delete dc; }
};

DefaultDesktopDCProvider g_defaultProvider;
DesktopDCProvider* g_pProvider = nullptr;

DesktopDCProvider& CurrentProvider() {
    return g_pProvider ? *g_pProvider : static_cast<DesktopDCProvider&>(g_defaultProvider);
}

}  // namespace

CDC* GetDesktopDC() { return CurrentProvider().GetDC(); }

void ReleaseDesktopDC(CDC* dc) {
    if (dc) {
        CurrentProvider().ReleaseDC(dc);
    }
}

DesktopDCProvider* SetDesktopDCProvider(DesktopDCProvider* provider) {
    DesktopDCProvider* previous = g_pProvider;
    g_pProvider = provider;
    return previous;
}
