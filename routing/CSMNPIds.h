// Control ids of the SNMP page template, shared by its .rc, its model and its tests.
#pragma once
#define IDD_SNMP 138
#define IDC_SNMP_ADD 1
#define IDC_SNMP_REMOVE 2
#define IDC_SNMP_COMMUNITY 1020
#define IDC_SNMP_WRITE 1021
#define IDC_SNMP_READ 1022
#define IDC_SNMP_AUTHORIZED 1023
#define IDC_SNMP_LIST 1025
// The address octets 1 to 4 in screen order.
#define IDC_SNMP_IP1 1142
#define IDC_SNMP_IP2 1147
#define IDC_SNMP_IP3 1144
#define IDC_SNMP_IP4 1145
