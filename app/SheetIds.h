// Resources of the main sheet: its icon and the strings and commands of its system-menu entries.
#pragma once
#define IDI_TARNWICK 128
#define IDS_ABOUT 101
#define IDS_LOAD_DEFAULTS 102
#define IDS_LINE_HISTORY 103
#define IDS_SAVE_SETTINGS 104
#define IDS_RESTORE_SETTINGS 105
#define IDS_UNDO_CHANGE 106
// System commands of those entries: their low four bits are Windows' own.
#define IDM_ABOUT 0x10
#define IDM_LOAD_DEFAULTS 0x20
#define IDM_LINE_HISTORY 0x30
#define IDM_SAVE_SETTINGS 0x40
#define IDM_RESTORE_SETTINGS 0x50
#define IDM_UNDO_CHANGE 0x60
