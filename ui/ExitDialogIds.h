// Id of the Exit dialog template (its only control is OK).
#pragma once
#define IDD_EXIT 155
