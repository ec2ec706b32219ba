// The framework's standard command ids and window ids, with the values the
// resource scripts use for them.
#pragma once

inline constexpr unsigned ID_FILE_NEW = 0xE100;
inline constexpr unsigned ID_FILE_OPEN = 0xE101;
inline constexpr unsigned ID_FILE_CLOSE = 0xE102;
inline constexpr unsigned ID_FILE_SAVE = 0xE103;
inline constexpr unsigned ID_FILE_SAVE_AS = 0xE104;
inline constexpr unsigned ID_FILE_PAGE_SETUP = 0xE105;
inline constexpr unsigned ID_FILE_PRINT_SETUP = 0xE106;
inline constexpr unsigned ID_FILE_PRINT = 0xE107;
inline constexpr unsigned ID_FILE_PRINT_DIRECT = 0xE108;
inline constexpr unsigned ID_FILE_PRINT_PREVIEW = 0xE109;
inline constexpr unsigned ID_FILE_MRU_FILE1 = 0xE110;
inline constexpr unsigned ID_FILE_MRU_FILE4 = 0xE113;
inline constexpr unsigned ID_FILE_MRU_FILE16 = 0xE11F;
inline constexpr unsigned ID_EDIT_CLEAR = 0xE120;
inline constexpr unsigned ID_EDIT_COPY = 0xE122;
inline constexpr unsigned ID_EDIT_CUT = 0xE123;
inline constexpr unsigned ID_EDIT_PASTE = 0xE125;
inline constexpr unsigned ID_APP_ABOUT = 0xE140;
inline constexpr unsigned ID_APP_EXIT = 0xE141;
inline constexpr unsigned ID_HELP_INDEX = 0xE142;
inline constexpr unsigned ID_HELP_FINDER = 0xE143;
inline constexpr unsigned ID_HELP_USING = 0xE144;
inline constexpr unsigned ID_CONTEXT_HELP = 0xE145;
inline constexpr unsigned ID_HELP = 0xE146;
inline constexpr unsigned ID_DEFAULT_HELP = 0xE147;
inline constexpr unsigned ID_VIEW_TOOLBAR = 0xE800;
inline constexpr unsigned ID_VIEW_STATUS_BAR = 0xE801;

inline constexpr int AFX_IDW_DOCKBAR_TOP = 0xE81B;
inline constexpr int AFX_IDW_DOCKBAR_LEFT = 0xE81C;
inline constexpr int AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
inline constexpr int AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
inline constexpr int AFX_IDW_PANE_FIRST = 0xE900;
