// Resource and command numbers shared by the code and resources/glimpser.rc.
// Plain #defines, so that the resource compiler reads the same numbers as C++.
#ifndef GLIMPSER_WIN_COMMAND_IDS_H
#define GLIMPSER_WIN_COMMAND_IDS_H

#define IDI_GLIMPSER 201
#define IDR_MENU 202
#define IDR_ACCEL 203

// One numbering for the viewer's "Context" popup and the tray's "Tray" popup:
// the same number is the same command in both.
#define ID_COPY 32768
#define ID_CAPTURE_REGION 32769
#define ID_ZOOM_IN 32770
#define ID_ZOOM_OUT 32771
#define ID_ZOOM_100 32772
#define ID_SMOOTH_DISABLED 32775
#define ID_SMOOTH_ENABLED 32776
#define ID_SMOOTH_AUTOMATIC 32777
#define ID_SAVE_AS 32778
#define ID_OPEN_HISTORY_FOLDER 32780
#define ID_PREVIOUS 32781
#define ID_NEXT 32782
#define ID_DELETE_ALL_HISTORY 32784
#define ID_DELETE 32785
#define ID_CAPTURE_REGION_DELAY15 32788
#define ID_CAPTURE_REGION_DELAY5 32789
#define ID_COPY_PATH 32790
#define ID_INCLUDE_CURSOR 32796
#define ID_COPY_96DPI 32803
#define ID_CAPTURE_SAME 32804
#define ID_CAPTURE_SAME_DELAY5 32805
#define ID_CAPTURE_SAME_DELAY15 32806
#define ID_RUN_AT_STARTUP 32807
#define ID_EXIT 32808
#define ID_OPEN_LAST_CAPTURE 32809

// The capture commands and the pointer switch, which the viewer's and the tray's message maps
// both handle alike.
#define CAPTURE_COMMAND_HANDLERS(onCapture, onIncludeCursor)  \
    COMMAND_ID_HANDLER(ID_CAPTURE_REGION, onCapture)          \
    COMMAND_ID_HANDLER(ID_CAPTURE_REGION_DELAY5, onCapture)   \
    COMMAND_ID_HANDLER(ID_CAPTURE_REGION_DELAY15, onCapture)  \
    COMMAND_ID_HANDLER(ID_CAPTURE_SAME, onCapture)            \
    COMMAND_ID_HANDLER(ID_CAPTURE_SAME_DELAY5, onCapture)     \
    COMMAND_ID_HANDLER(ID_CAPTURE_SAME_DELAY15, onCapture)    \
    COMMAND_ID_HANDLER(ID_INCLUDE_CURSOR, onIncludeCursor)

// "Open &With" items: the resource holds one placeholder at the first number;
// the viewer numbers its entries from there and dispatches up to the last.
#define ID_OPEN_WITH_FIRST 1000
#define ID_OPEN_WITH_LAST 1100

// Positions inside the popups that code looks items up by.
#define MENU_POPUP_CONTEXT 0
#define MENU_POPUP_TRAY 1
#define MENU_POS_OPEN_WITH 6

#endif
