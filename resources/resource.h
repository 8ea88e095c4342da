// Resource identifiers shared by the resource scripts and the native dialog layer.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_ABOUT 100
#define IDD_GENERAL 129
#define IDD_LOGIN 132
#define IDD_WAIT 150
#define IDD_EXIT 155
#define IDD_POSSIBLE_ERRORS 156

// Icon and pictures
#define IDI_TARNWICK 128
#define IDB_NETWORK 149
#define IDB_BANNER 153

// Strings of the sheet's system menu
#define IDS_ABOUT 101
#define IDS_LOAD_DEFAULTS 102

// Controls
#define IDC_LOGIN_ADDRESS 1019
#define IDC_LOGIN_PASSWORD 1020
#define IDC_WAIT_TEXT 1082
#define IDC_ABOUT_UPDATE 1096
#define IDC_WAIT_PROGRESS 1103
#define IDC_ABOUT_FIRMWARE 1191
