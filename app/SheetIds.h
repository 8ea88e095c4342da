// Resources of the main sheet: its icon and the strings of its system-menu entries.
#pragma once
#define IDI_TARNWICK 128
#define IDS_ABOUT 101
#define IDS_LOAD_DEFAULTS 102
