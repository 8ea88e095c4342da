// Id of the Possible Errors dialog template (its only control is OK).
#pragma once
#define IDD_POSSIBLE_ERRORS 156
