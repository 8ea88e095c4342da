// Control ids of the Route Table page template, shared by its .rc, its model and its tests.
#pragma once
#define IDD_ROUTE 135
#define IDC_ROUTE_ADD 1
#define IDC_ROUTE_REMOVE 2
#define IDC_ROUTE_LABEL 104
#define IDC_ROUTE_LIST 1025
#define IDC_ROUTE_REMOVE_ALL 1026
#define IDC_ROUTE_COST 1031
#define IDC_ROUTE_TIMEOUT 1032
#define IDC_ROUTE_DEST1 1151
#define IDC_ROUTE_DEST2 1152
#define IDC_ROUTE_DEST3 1153
#define IDC_ROUTE_DEST4 1154
#define IDC_ROUTE_HOP1 1155
#define IDC_ROUTE_HOP2 1156
#define IDC_ROUTE_HOP3 1157
#define IDC_ROUTE_HOP4 1158
#define IDC_ROUTE_MASK1 1159
#define IDC_ROUTE_MASK2 1160
#define IDC_ROUTE_MASK3 1161
#define IDC_ROUTE_MASK4 1162
