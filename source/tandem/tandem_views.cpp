// The component's side of its Cocoa view: the view holds the effect's editor
// from creation until the host lets it go, and follows the editor's size.

#include "tandem/tandem_cocoa_view.h"
#include "tandem/tandem_component.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <cstdint>

NSView* TandemComponent::createView()
{
    // Hosts may ask the factory without having read kAudioUnitProperty_CocoaUI,
    // and again while a view is open: refused, not fatal.
    if (!vst->hasEditor())
    {
        throw TandemException("VST has no editor");
    }
    int width = 0;
    int height = 0;
    vst->getEditorDimensions(width, height);
    if (cocoaView != nullptr)
    {
        throw TandemException("A view of this component is already open");
    }
    cocoaView = new comQuarnTandem_CocoaView(NSMakeRect(0, 0, width, height), this);
    TANDEM_REQUIRE(cocoaView != 0);
    try
    {
        if (cocoaView->x11Window() == 0)
        {
            throw TandemException("Could not create a window for the view (no display)");
        }
        TANDEM_REQUIRE(!vst->isEditorOpen());
        vst->openEditor(reinterpret_cast<void*>(static_cast<std::uintptr_t>(cocoaView->x11Window())));
        TANDEM_REQUIRE(vst->isEditorOpen());
    }
    catch (...)
    {
        // An editor that refused to open is still closed once.
        if (vst->isEditorOpen())
        {
            vst->closeEditor();
        }
        cocoaView->detach();
        cocoaView->release();
        cocoaView = nullptr;
        throw;
    }
    cocoaView->autorelease();
    return cocoaView;
}

void TandemComponent::dropView()
{
    TANDEM_REQUIRE(vst->hasEditor());
    TANDEM_REQUIRE(vst->isEditorOpen());
    vst->closeEditor();
    TANDEM_REQUIRE(!vst->isEditorOpen());
    TANDEM_REQUIRE(cocoaView != 0);
    // The view is being deallocated by its owner.
    cocoaView = nullptr;
}

void TandemComponent::resizeWindow(VSTPlugIn& plugIn, int width, int height)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    TANDEM_REQUIRE(width > 0);
    TANDEM_REQUIRE(height > 0);
    TANDEM_REQUIRE(cocoaView != 0);
    cocoaView->setFrameSize(NSMakeSize(width, height));
}
