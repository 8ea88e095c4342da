// Control ids of the Wait dialog template, shared by its .rc, the native layer and tests.
#pragma once
#define IDD_WAIT 150
#define IDC_WAIT_TEXT 1082
#define IDC_WAIT_PROGRESS 1103
