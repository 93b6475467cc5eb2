// Temporary shapes over a window during a drag, drawn without flicker and
// without the window's own painting: the client area is saved when the drag
// begins, every change is composed off screen from that copy and reaches the
// window as one copy of the changed area, and the saved pixels go back at
// the end.
#ifndef GLIMPSER_CAPTURE_DRAG_FEEDBACK_H
#define GLIMPSER_CAPTURE_DRAG_FEEDBACK_H

#include <windows.h>

#include <optional>

#include "tessel/list.h"
#include "tessel/owned_ptr.h"
#include "win/rect.h"
#include "win/scoped_win.h"

class CDragFeedback {
public:
    class CFeedbackItem {
    public:
        virtual ~CFeedbackItem() = default;
        virtual void Draw(HDC dc) = 0;
        virtual Rect& GetBounds(Rect& out) = 0;
    };

    // The system highlight colour at 64/255 over what lies beneath, outlined
    // with a focus rectangle.
    class CRectFeedbackItem : public CFeedbackItem {
    public:
        explicit CRectFeedbackItem(const Rect& rect);
        void Draw(HDC dc) override;
        Rect& GetBounds(Rect& out) override;

    private:
        Rect rect;
    };

    CDragFeedback() = default;
    CDragFeedback(const CDragFeedback&) = delete;
    CDragFeedback& operator=(const CDragFeedback&) = delete;
    virtual ~CDragFeedback();

    // Ends any running drag and starts one on window: locks it and saves its
    // client area.
    void Begin(HWND window);
    // The rectangle is normalised; right and bottom are not enlarged. Shown
    // at the next Update, in front of the items added before.
    void AddRect(const Rect& rect);
    void ClearItems();
    // Shows the current items; answers the area copied to the window (the
    // old shapes' bounds together with the new ones'), empty when nothing was
    // copied.
    Rect Update();
    // Puts the saved pixels back and unlocks the window; nothing when no
    // drag is running.
    void End();

private:
    // A memory DC with a bitmap of the client area's size selected into it.
    class Surface {
    public:
        Surface(HDC compatibleWith, int width, int height);
        HDC Dc() const { return dc.Get(); }

    private:
        ScopedMemDC dc;
        ScopedBitmap bitmap;
        ScopedSelect selection;
    };

    HWND hwnd = nullptr;
    Rect lastBounds;
    Tessel::List<Tessel::OwnedPtr<CFeedbackItem>> items;
    std::optional<Surface> background;
    std::optional<Surface> compose;
};

#endif
