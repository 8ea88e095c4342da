// Control ids of the NAT inbound dialog template, shared by its .rc, its model and its tests.
#pragma once
#define IDD_INBOUND 140
#define IDC_INBOUND_ADD 1
#define IDC_INBOUND_EXIT 2
#define IDC_INBOUND_HOST1 104
#define IDC_INBOUND_LIST 1025
#define IDC_INBOUND_REMOVE_ALL 1026
#define IDC_INBOUND_PORT 1055
#define IDC_INBOUND_TCP 1056
#define IDC_INBOUND_UDP 1057
#define IDC_INBOUND_REMOVE 1058
#define IDC_INBOUND_HOST2 1139
#define IDC_INBOUND_HOST3 1140
#define IDC_INBOUND_HOST4 1141
