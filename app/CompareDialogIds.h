// Ids of the dialog that shows what a settings file would change before it is applied.
#pragma once
#define IDD_COMPARE 170
#define IDC_COMPARE_SUMMARY 1601
#define IDC_COMPARE_LIST 1602
