// Ids of the General page template and its two pictures (each picture control has its
// bitmap's id).
#pragma once
#define IDD_GENERAL 129
#define IDB_NETWORK 149
#define IDB_BANNER 153
