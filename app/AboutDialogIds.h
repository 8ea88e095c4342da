// Control ids of the About dialog template, shared by its .rc, its model and its tests.
#pragma once
#define IDD_ABOUT 100
#define IDC_ABOUT_UPDATE 1096
#define IDC_ABOUT_FIRMWARE 1191
