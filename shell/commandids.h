// Command and resource ids of both programs' menus, toolbars and
// accelerators (the framework's standard ids are in platform/gui/stdids.h).
#pragma once

#include "platform/gui/stdids.h"

// Configuration program.
inline constexpr unsigned ID_CONFIG_ADD = 32771;
inline constexpr unsigned ID_AUTO_FIND_SWITCHES = 32772;
inline constexpr unsigned ID_LOAD_SELECTED_CONFIG = 32773;
inline constexpr unsigned ID_UPDATE_RING_FIRMWARE = 32774;
inline constexpr unsigned ID_CONFIG_EDIT = 32775;
inline constexpr unsigned ID_CONFIG_DELETE = 32776;
inline constexpr unsigned ID_EXPLAIN_WARNING = 32777;
inline constexpr unsigned ID_AUTO_OPEN_LAST_FILE = 32778;
inline constexpr unsigned ID_SWITCH_DELETE = 32779;
inline constexpr unsigned ID_PRODUCT_SUPPORT = 32780;
inline constexpr unsigned ID_DEBUG_EEROM = 32781;
inline constexpr unsigned ID_CONFIG_COPY = 32783;
inline constexpr unsigned ID_HELP_GETTING_STARTED = 32784;
inline constexpr unsigned ID_HELP_SOFTWARE_LICENSE = 32785;
inline constexpr unsigned ID_UPDATE_MANAGED_FIRMWARE = 32786;
inline constexpr unsigned ID_HELP_APPLICATION_TIPS = 32787;
inline constexpr unsigned ID_OUTPUT_TO_FILE = 32788;
inline constexpr unsigned ID_SWITCH_WINK = 32789;
inline constexpr unsigned ID_SWITCH_STATUS = 32790;
inline constexpr unsigned ID_SWITCH_RECOVER = 32791;
inline constexpr unsigned ID_MONITOR_NETWORKS = 32792;
inline constexpr unsigned ID_TEST_COMM = 32793;

// Status monitor.
inline constexpr unsigned ID_FIND_SWITCHES_ON_NETWORK = 33771;
inline constexpr unsigned ID_SHOW_STATUS = 33772;

// Resources of the main windows: menu, accelerators, toolbar and its
// bitmap share one id; the hot images are a bitmap of their own.
inline constexpr unsigned IDR_MAINFRAME = 128;
inline constexpr unsigned IDB_MAINFRAME_HOT = 129;
inline constexpr unsigned IDR_MENU_IMAGES = 130;  // images of menu items not on the toolbar
inline constexpr unsigned IDR_CONTEXT_SWITCHES = 132;
inline constexpr unsigned IDR_CONTEXT_CONFIGS = 133;
inline constexpr unsigned IDR_MONITORFRAME = 777;
inline constexpr unsigned IDB_MONITORFRAME_HOT = 778;
