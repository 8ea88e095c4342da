// Control ids of the Log In dialog template, shared by its .rc, its model and its tests.
#pragma once
#define IDD_LOGIN 132
#define IDC_LOGIN_ADDRESS 1019
#define IDC_LOGIN_PASSWORD 1020
