#include "capture/drag_feedback.h"

#include <utility>

#include "win/win_rect.h"

namespace {

constexpr UINT kRedrawNowWithChildren = RDW_UPDATENOW | RDW_ALLCHILDREN;
constexpr DWORD kDrawWhileLocked = DCX_PARENTCLIP | DCX_LOCKWINDOWUPDATE;
constexpr BYTE kHighlightAlpha = 64;

void CopyArea(HDC target, HDC source, const Rect& area) {
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source,
           area.left, area.top, SRCCOPY);
}

}  // namespace

CDragFeedback::Surface::Surface(HDC compatibleWith, int width, int height)
    : dc(compatibleWith),
      bitmap(CreateCompatibleBitmap(compatibleWith, width, height)),
      selection(dc.Get(), bitmap.Get()) {}

CDragFeedback::CRectFeedbackItem::CRectFeedbackItem(const Rect& rect) : rect(rect) {
    NormalizeRect(this->rect);
}

void CDragFeedback::CRectFeedbackItem::Draw(HDC dc) {
    // A rectangle without area covers no pixel; its outline would land
    // outside the bounds that Update repairs.
    if (IsRectEmpty(rect)) {
        return;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    {
        ScopedMemDC fillDc(dc);
        ScopedBitmap fill(CreateCompatibleBitmap(dc, width, height));
        ScopedSelect selection(fillDc.Get(), fill.Get());
        const RECT whole{0, 0, width, height};
        FillRect(fillDc.Get(), &whole, GetSysColorBrush(COLOR_HIGHLIGHT));
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, kHighlightAlpha, 0};
        AlphaBlend(dc, rect.left, rect.top, width, height, fillDc.Get(), 0, 0, width, height,
                   blend);
    }
    const RECT outline = ToRECT(rect);
    DrawFocusRect(dc, &outline);
}

Rect& CDragFeedback::CRectFeedbackItem::GetBounds(Rect& out) {
    out = rect;
    return out;
}

CDragFeedback::~CDragFeedback() {
    End();
}

void CDragFeedback::Begin(HWND window) {
    End();
    ClearItems();
    hwnd = window;
    RedrawWindow(window, nullptr, nullptr, kRedrawNowWithChildren);
    LockWindowUpdate(window);
    RECT client{};
    GetClientRect(window, &client);
    ScopedWindowDC windowDc(window, GetDCEx(window, nullptr, kDrawWhileLocked));
    background.emplace(windowDc.Get(), client.right, client.bottom);
    compose.emplace(windowDc.Get(), client.right, client.bottom);
    BitBlt(background->Dc(), 0, 0, client.right, client.bottom, windowDc.Get(), 0, 0, SRCCOPY);
    BitBlt(compose->Dc(), 0, 0, client.right, client.bottom, background->Dc(), 0, 0, SRCCOPY);
}

void CDragFeedback::AddRect(const Rect& rect) {
    Tessel::OwnedPtr<CFeedbackItem> item = Tessel::MakeOwned<CRectFeedbackItem>(rect);
    if (item) {
        items.InsertAt(0, std::move(item));
    }
}

void CDragFeedback::ClearItems() {
    items.RemoveAll();
}

Rect CDragFeedback::Update() {
    if (hwnd == nullptr) {
        return Rect{};
    }
    if (!IsRectEmpty(lastBounds)) {
        CopyArea(compose->Dc(), background->Dc(), lastBounds);
    }
    Rect bounds;
    for (int i = 0; i < items.Count(); ++i) {
        items[i]->Draw(compose->Dc());
        Rect itemBounds;
        bounds = UnionRect(bounds, items[i]->GetBounds(itemBounds));
    }
    const Rect dirty = UnionRect(bounds, lastBounds);
    if (!IsRectEmpty(dirty)) {
        ScopedWindowDC windowDc(hwnd, GetDCEx(hwnd, nullptr, kDrawWhileLocked));
        CopyArea(windowDc.Get(), compose->Dc(), dirty);
    }
    lastBounds = bounds;
    return dirty;
}

void CDragFeedback::End() {
    if (hwnd == nullptr) {
        return;
    }
    ClearItems();
    Update();
    background.reset();
    compose.reset();
    hwnd = nullptr;
    LockWindowUpdate(nullptr);
}
