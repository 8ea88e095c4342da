// Control ids of the plot window's own controls, for the window and the end-to-end scenarios.
#pragma once
#define IDC_PLOT_SUMMARY 1801
#define IDC_PLOT_SPAN_LABEL 1802
#define IDC_PLOT_SPAN 1803
#define IDC_PLOT_EXPORT 1804
